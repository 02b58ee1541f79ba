// mirolanda-cli setting: read or write one key of the settings file.
#include <cstdio>

#include "cli/Commands.h"

namespace mirolanda::cli {
namespace {

int Run(CliContext& context, const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError{"setting takes a KEY and an optional VALUE"};
    const settings::Key* key = settings::FindKey(args[0]);
    if (!key) throw UsageError{"unknown key: " + args[0]};
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
    "  Prints the value of KEY from the settings file (its default when absent), or stores VALUE.",
    Run,
};

}  // namespace mirolanda::cli
