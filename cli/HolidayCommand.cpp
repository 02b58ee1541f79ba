// holiday: prints why a day is no business day, or nothing for a business day.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "platform/Table.h"

namespace mirolanda::cli {
namespace {

int RunHoliday(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"holiday takes one date, yyyy/mm/dd"};
    auto day = platform::ParseSlashed(args[0]);
    if (!day) throw UsageError{"not a date in the form yyyy/mm/dd: " + args[0]};
    platform::Table holidays;
    calendar::LoadCalender(holidays, platform::CalenderFile(context.programFolder));
    std::string reason = calendar::GetHolidayName(holidays, *day);
    if (!reason.empty()) std::printf("%s\n", reason.c_str());
    return 0;
}

}  // namespace

const Command kHolidayCommand = {
    "holiday",
    "holiday yyyy/mm/dd\n"
    "Prints the reason the day is no business day (土曜日, 日曜日, a holiday's name, or its name\n"
    "followed by の振替), or nothing for a business day. Holidays come from the program folder's Calender.txt.",
    RunHoliday,
};

}  // namespace mirolanda::cli
