// issue: prints one issue's history record.
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "platform/Errors.h"
#include "quotes/StockFile.h"

namespace mirolanda::cli {
namespace {

int ParseCode(const std::string& text) {
    if (text.size() != 4 || text.find_first_not_of("0123456789") != std::string::npos || text[0] == '0') {
        throw UsageError{"not an issue code from 1000 to 9999: " + text};
    }
    return std::stoi(text);
}

int RunIssue(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"issue takes one issue code"};
    int code = ParseCode(args[0]);
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
    "Prints the history record of the issue CODE (1000 to 9999) from the stock data folder: the\n"
    "name without trailing blanks, then one line per stored day, yyyy/mm/dd<TAB>price, newest first.",
    RunIssue,
};

}  // namespace mirolanda::cli
