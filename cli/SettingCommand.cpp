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
    if (args[1] != "-") throw UsageError{"JQuantsApiKey is read from standard input: setting JQuantsApiKey -"};
    const settings::SecretPlace place = context.secrets->SetApiKey(KeyFromInput());
    std::fprintf(stderr, "%s\n", settings::DescribeApiKey(place).c_str());
    return 0;
}

int Run(CliContext& context, const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError{"setting takes a KEY and an optional VALUE"};
    const settings::Key* key = settings::FindKey(args[0]);
    if (!key) throw UsageError{"unknown key: " + args[0]};
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
    "  Prints the value of KEY from the settings file (its default when absent), or stores VALUE.\n"
    "  JQuantsApiKey: 'setting JQuantsApiKey -' reads the key from standard input and keeps it in\n"
    "  the desktop's secret store when there is one, else in the settings file; reading it tells\n"
    "  only whether and where it is set.",
    Run,
};

}  // namespace mirolanda::cli
