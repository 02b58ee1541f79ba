// issue: prints one issue's history record.
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "platform/Errors.h"
#include "quotes/StockFile.h"

namespace mirolanda::cli {
namespace {

market::IssueCode ParseCode(const std::string& text) {
    auto code = market::IssueCode::Parse(text);
    if (!code) throw UsageError{"not an issue code (1000 to 9999, or with letters such as 130A): " + text};
    return *code;
}

int RunIssue(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"issue takes one issue code"};
    const market::IssueCode code = ParseCode(args[0]);
    const auto& folder = context.folders.StockData;
    // Without a file the program's reader gives "Unknown" and zeros; a script is better told.
    if (!std::filesystem::exists(quotes::IssueFilePath(folder, code))) {
        throw platform::FileError(quotes::IssueFilePath(folder, code), "銘柄別データがありません");
    }
    quotes::IssueRecord record = quotes::ReadIssueRecord(folder, code);
    std::string name = record.Name;
    name.erase(name.find_last_not_of(' ') + 1);
    std::printf("%s\n", name.c_str());
    for (int i = 0; i < record.DayCount(); ++i) {
        const auto& day = record.Days[static_cast<size_t>(i)];
        std::printf("%s\t%d\n", day.Date.c_str(), static_cast<int>(day.Price));
    }
    return 0;
}

}  // namespace

const Command kIssueCommand = {
    "issue",
    "issue CODE\n"
    "Prints the history record of the issue CODE (1000 to 9999, or a code with letters such as 130A)\n"
    "from the stock data folder: the name without trailing blanks, then one line per stored day,\n"
    "yyyy/mm/dd<TAB>price, newest first.",
    RunIssue,
};

}  // namespace mirolanda::cli
