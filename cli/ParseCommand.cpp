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
        else if (arg.starts_with("--")) throw UsageError{"unknown option: " + arg};
        else files.push_back(arg);
    }
    if (files.size() != 1) throw UsageError{"parse takes one FILE"};

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
    "Parses the Shift_JIS quote page FILE (as the download converts it) and prints one line per\n"
    "issue, UTF-8, fields separated by TAB: code, name, open, high, low, close, volume, and with\n"
    "--link the link code of the row (empty when the page gave an unsafe one). Rows the page\n"
    "cuts short, codes outside 1000-9999 and prices beyond 32 bits are left out.",
    RunParse,
};

}  // namespace mirolanda::cli
