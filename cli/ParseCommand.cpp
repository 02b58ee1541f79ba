// parse: the issue rows of a Shift_JIS quote page, one TAB-separated UTF-8 line each.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Commands.h"
#include "platform/Table.h"
#include "quotesite/QuotePage.h"

namespace mirolanda::cli {
namespace {

int RunParse(CliContext&, const Args& args) {
    bool link = false;
    std::vector<std::string> files;
    for (const auto& arg : args) {
        if (arg == "--link") link = true;
        else if (arg.starts_with("--")) throw UsageError{"そのようなオプションはありません: " + arg};
        else files.push_back(arg);
    }
    if (files.size() != 1) throw UsageError{"parse には FILE を1つ指定してください"};

    platform::Table grid(link ? quotesite::kQuoteColumns : quotesite::kResultColumns);
    quotesite::ParseQuoteFile(grid, files[0]);
    std::string out;
    for (const auto& row : grid.Rows()) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += '\t';
            out += row[c];
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

const Command kParseCommand = {
    "parse",
    "parse FILE [--link]\n"
    "Shift_JIS の株価ページ FILE (ダウンロードが変換したもの) を解析し、銘柄ごとに1行、UTF-8、タブ区切りで\n"
    "表示します: コード、銘柄名、始値、高値、安値、終値、出来高。--link を付けると行のリンクコードも表示\n"
    "します (ページが安全でないものを示したときは空)。途中で切れた行、1000-9999 以外のコード、32 ビットを\n"
    "超える価格は省きます。",
    RunParse,
};

}  // namespace mirolanda::cli
