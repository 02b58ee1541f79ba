// holiday: prints why a day is no business day, or nothing for a business day.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "platform/Date.h"
#include "platform/Table.h"

namespace mirolanda::cli {
namespace {

int RunHoliday(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"holiday takes one date, yyyy/mm/dd"};
    auto day = platform::ParseSlashed(args[0]);
    if (!day) throw UsageError{"not a date in the form yyyy/mm/dd: " + args[0]};
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    std::string reason = calendar::GetHolidayName(holidays, *day);
    if (!reason.empty()) std::printf("%s\n", reason.c_str());
    return 0;
}

}  // namespace

const Command kHolidayCommand = {
    "holiday",
    "holiday yyyy/mm/dd\n"
    "Prints the reason the market is closed on the day, or nothing for a business day: 土曜日, 日曜日,\n"
    "a national holiday's name, 振替休日, 国民の休日, 年末年始休業 (12/31 to 01/03), a trading halt, or\n"
    "a holiday of the program folder's Calender.txt (\"mm/dd\" every year, \"yyyy/mm/dd\" that day only).\n"
    "The market's calendar is built in for 1990-2099 only; for other years only weekends and\n"
    "Calender.txt count, and a Monday after a listed national holiday on a Sunday is named after it\n"
    "with の振替.",
    RunHoliday,
};

}  // namespace mirolanda::cli
