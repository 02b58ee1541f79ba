// db: the market history database's upkeep, one sub-command per file.
#include <string>

#include "cli/Commands.h"
#include "cli/DbCommands.h"

namespace mirolanda::cli {
namespace {

int RunDb(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"db takes a sub-command: import, check, rebuild or splits"};
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "import") return RunDbImport(context, rest);
    if (args[0] == "check") return RunDbCheck(context, rest);
    if (args[0] == "rebuild") return RunDbRebuild(context, rest);
    if (args[0] == "splits") return RunDbSplits(context, rest);
    throw UsageError{"unknown db sub-command: " + args[0]};
}

}  // namespace

const Command kDbCommand = {
    "db",
    "db import PATH... | db check | db rebuild | db splits [--suggest]\n"
    "The market history database (the setting MarketDatabase; empty: Market.sqlite3 in the\n"
    "program folder), every day's open, high, low, close and volume of every issue.\n"
    "  import PATH...  stores daily CSV files (YYYYMMDD.CSV) and the CSV files directly inside the\n"
    "                  folders named, oldest day first, each day replacing the day stored before;\n"
    "                  prints a progress line, then the days and bars stored and the files refused.\n"
    "  check           checks the file's integrity and prints its counts, first and last day and the\n"
    "                  business days it lacks. Exit 0 when sound (even with days missing); 1 when\n"
    "                  damaged, the file then moved aside as Market.sqlite3.broken-YYYYMMDD-HHMMSS.\n"
    "  rebuild         makes the database anew from the CSV folder, keeping the splits recorded by\n"
    "                  hand, and puts it in place of the old one.\n"
    "  splits          lists the recorded splits; with --suggest, the day-over-day closes that look\n"
    "                  like a split (within 3 % of 1/2, 1/3, 1/4, 1/5, 1/10 or their inverses) for you\n"
    "                  to confirm with 'split'. Nothing is adjusted on a guess.\n"
    "import and rebuild wait while another command writes the program's data (see --wait; exit\n"
    "status 5 when they give up).",
    RunDb,
};

}  // namespace mirolanda::cli
