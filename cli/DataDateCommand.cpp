// datadate: prints the data date "yyyymmdd" from the program folder's holiday file and the clock.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "platform/Folders.h"
#include "platform/Table.h"

namespace mirolanda::cli {
namespace {

int RunDataDate(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"datadate takes no arguments"};
    platform::Table holidays;
    calendar::LoadCalender(holidays, platform::CalenderFile(context.programFolder));
    std::printf("%s\n", calendar::GetDataDate(holidays, *context.clock).c_str());
    return 0;
}

}  // namespace

const Command kDataDateCommand = {
    "datadate",
    "datadate\n"
    "Prints the data date yyyymmdd: the newest trading day whose prices are out at the present\n"
    "moment (--now sets it), skipping weekends and the holidays of the program folder's Calender.txt.",
    RunDataDate,
};

}  // namespace mirolanda::cli
