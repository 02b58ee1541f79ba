// mirolanda-cli setting: read or write one key of the settings file; the J-Quants API key only
// from standard input, and never printed.
#include <cstdio>
#include <iostream>

#include "cli/Commands.h"

namespace mirolanda::cli {
namespace {

// The key as standard input gives it: the first line, without its line end.
std::string KeyFromInput() {
    std::string line;
    std::getline(std::cin, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return line;
}

int RunApiKey(CliContext& context, const Args& args) {
    if (args.size() == 1) {
        std::printf("%s\n", settings::DescribeApiKey(context.secrets->ApiKeyPlace()).c_str());
        return 0;
    }
    // A value on the command line would be seen by every user in the process list.
    if (args[1] != "-") throw UsageError{"JQuantsApiKey は標準入力から読みます: setting JQuantsApiKey -"};
    const settings::SecretPlace place = context.secrets->SetApiKey(KeyFromInput());
    std::fprintf(stderr, "%s\n", settings::DescribeApiKey(place).c_str());
    return 0;
}

int Run(CliContext& context, const Args& args) {
    // Not in the usage: the bash completion asks for the keys it offers after 'setting'.
    if (args.size() == 1 && args[0] == "--list-keys") {
        for (const settings::Key* key : settings::AllKeys()) std::printf("%.*s\n", static_cast<int>(key->Name.size()), key->Name.data());
        return 0;
    }
    if (args.empty() || args.size() > 2) throw UsageError{"setting には KEY と、必要なら VALUE を指定してください"};
    const settings::Key* key = settings::FindKey(args[0]);
    if (!key) throw UsageError{"そのような設定はありません: " + args[0]};
    if (key == &settings::keys::JQuantsApiKey) return RunApiKey(context, args);
    if (args.size() == 2) {
        context.store->Write(*key, args[1]);
    } else {
        std::printf("%s\n", context.store->Read(*key).c_str());
    }
    return 0;
}

}  // namespace

const Command kSettingCommand = {
    "setting",
    "setting KEY [VALUE]\n"
    "  設定ファイルから KEY の値を表示します (なければ既定値)。VALUE を指定するとそれを保存します。\n"
    "  JQuantsApiKey: 'setting JQuantsApiKey -' は標準入力からキーを読み、デスクトップのパスワード保管庫が\n"
    "  あればそこに、なければ設定ファイルに保存します。読み出すと、設定されているかどうかと場所だけを\n"
    "  表示します。",
    Run,
};

}  // namespace mirolanda::cli
