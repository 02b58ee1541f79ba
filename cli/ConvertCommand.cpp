// convert: an EUC-JP file to Shift_JIS through libkodemorph.so, loaded as the window loads it.
#include <filesystem>

#include "cli/Commands.h"
#include "platform/Errors.h"
#include "quotesite/CodeConvert.h"

namespace mirolanda::cli {
namespace {

int RunConvert(CliContext&, const Args& args) {
    if (args.size() != 2) throw UsageError{"convert には SOURCE と TARGET を指定してください"};
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
    "EUC-JP のファイル SOURCE (株価サイトが送るままの株価ページ) を、プログラムのライブラリフォルダの\n"
    "libkodemorph.so で Shift_JIS のファイル TARGET に変換します。Shift_JIS にない文字は 〓 になります。\n"
    "TARGET は置き換えます。",
    RunConvert,
};

}  // namespace mirolanda::cli
