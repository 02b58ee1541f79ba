// datadate: prints the data date "yyyymmdd" from the program folder's holiday file and the clock.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "platform/Table.h"

namespace mirolanda::cli {
namespace {

int RunDataDate(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"datadate takes no arguments"};
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    std::printf("%s\n", calendar::GetDataDate(holidays, *context.clock).c_str());
    return 0;
}

}  // namespace

const Command kDataDateCommand = {
    "datadate",
    "datadate\n"
    "Prints the data date yyyymmdd: the newest trading day whose prices are out at the present\n"
    "moment in Tokyo (--now sets it; before 09:00 the day before counts), skipping the days the\n"
    "market is closed (see holiday --help).",
    RunDataDate,
};

}  // namespace mirolanda::cli
