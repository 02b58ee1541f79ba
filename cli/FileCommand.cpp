// file: files daily CSV files into the history files, in the order given.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "quotes/StockFile.h"

namespace mirolanda::cli {
namespace {

// The window shows this text in a message box, its two lines split by a carriage return.
std::string BadNameText() {
    std::string text(quotes::kBadCsvNameMessage);
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

int RunFile(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"file takes one or more CSV files"};
    std::vector<std::filesystem::path> paths(args.begin(), args.end());
    // Files everything that can be filed in one go; a bad name or a missing file is reported
    // and the rest is filed all the same.
    auto result = quotes::ConvertCsvFilesToIssueFiles(paths, context.folders.StockData);
    for (const auto& path : result.BadNames) {
        std::fprintf(stderr, "%s:\n%s\n", path.string().c_str(), BadNameText().c_str());
    }
    for (const auto& path : result.Missing) {
        std::fprintf(stderr, "%s: ファイルがありません\n", path.string().c_str());
    }
    return result.BadNames.empty() && result.Missing.empty() ? 0 : 1;
}

}  // namespace

const Command kFileCommand = {
    "file",
    "file CSV...\n"
    "Files daily CSV files (named YYYYMMDD.CSV, any letter case) into the history files of the\n"
    "stock data folder, in the order given: each issue's close is recorded under the file's day.\n"
    "A file with another name, or one that does not exist, is reported on stderr and the others\n"
    "are filed; the exit status is then 1. A malformed line stops the command before any history\n"
    "file is changed.",
    RunFile,
};

}  // namespace mirolanda::cli
