// convert: an EUC-JP file to Shift_JIS through libkodemorph.so, loaded as the window loads it.
#include <filesystem>

#include "cli/Commands.h"
#include "platform/Errors.h"
#include "quotesite/CodeConvert.h"

namespace mirolanda::cli {
namespace {

int RunConvert(CliContext&, const Args& args) {
    if (args.size() != 2) throw UsageError{"convert takes SOURCE and TARGET"};
    const std::filesystem::path source = args[0];
    // The library leaves an empty target for a source it cannot open; a script deserves to
    // hear about a mistyped name instead.
    if (!std::filesystem::is_regular_file(source)) throw platform::FileError(source, "変換元のファイルがありません");
    quotesite::ConvertToShiftJis(source, args[1]);
    return 0;
}

}  // namespace

const Command kConvertCommand = {
    "convert",
    "convert SOURCE TARGET\n"
    "Converts the EUC-JP file SOURCE (a quote page as the site sends it) into the Shift_JIS file\n"
    "TARGET with libkodemorph.so from the program's library folder. A character with no\n"
    "Shift_JIS form becomes 〓; TARGET is replaced.",
    RunConvert,
};

}  // namespace mirolanda::cli
