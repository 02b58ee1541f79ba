// log: prints the last lines of the run log; and the record every network or filing command
// leaves in it.
#include <cstdio>

#include "cli/Commands.h"
#include "platform/Numbers.h"
#include "platform/RunLog.h"

namespace mirolanda::cli {

void LogRun(const CliContext& context, platform::RunRecord record) {
    record.End = context.clock->Now();
    try {
        platform::AppendRunRecord(context.programFolder, record);
    } catch (const std::exception& e) {
        // The command's own work is done; a log that cannot be written does not undo it.
        std::fprintf(stderr, "mirolanda-cli: %s\n", e.what());
    }
}

namespace {

int RunLog(CliContext& context, const Args& args) {
    size_t count = 50;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lines" && i + 1 < args.size()) {
            const long n = platform::LeadingInteger(args[++i], -1);
            if (n < 1 || n > 100000) throw UsageError{"--lines takes 1 to 100000"};
            count = static_cast<size_t>(n);
        } else {
            throw UsageError{"unknown option: " + args[i]};
        }
    }
    for (const std::string& line : platform::ReadRunLogTail(context.programFolder, count)) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace

const Command kLogCommand = {
    "log",
    "log [--lines N]\n"
    "  Prints the last 50 (or N) lines of the run log Mirolanda.log in the program folder, oldest\n"
    "  first. Every download and filing leaves one line: start and end time, command, source,\n"
    "  outcome (ok, skipped, failed), requests, retries, history files stored, files skipped,\n"
    "  notes (issues missing against the previous day) and the error text, TAB-separated.",
    RunLog,
};

}  // namespace mirolanda::cli
