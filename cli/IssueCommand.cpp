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
    if (!code) throw UsageError{"銘柄コード (1000 から 9999、または 130A のように英字を含むコード) ではありません: " + text};
    return *code;
}

int RunIssue(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"issue には銘柄コードを1つ指定してください"};
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
    "株価データフォルダから銘柄 CODE (1000 から 9999、または 130A のように英字を含むコード) の履歴を表示\n"
    "します: 末尾の空白を除いた銘柄名、続いて保存されている日ごとに1行 yyyy/mm/dd<TAB>価格、新しい順です。",
    RunIssue,
};

}  // namespace mirolanda::cli
