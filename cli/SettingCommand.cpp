// mirolanda-cli setting: read or write one key of the settings file.
#include <cstdio>

#include "cli/Commands.h"

namespace mirolanda::cli {
namespace {

int Run(CliContext& context, const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError{"setting takes a KEY and an optional VALUE"};
    try {
        if (args.size() == 2) {
            context.SetSetting(args[0], args[1]);
        } else {
            std::printf("%s\n", context.Setting(args[0]).c_str());
        }
    } catch (const std::out_of_range&) {
        throw UsageError{"unknown key: " + args[0]};
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
