// calendar: lists the weekdays of a year on which the market is closed, with the reason.
#include <cstdio>
#include <optional>
#include <string>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "platform/Date.h"

namespace mirolanda::cli {
namespace {

std::optional<int> Year(const std::string& text) {
    if (text.size() != 4 || text.find_first_not_of("0123456789") != std::string::npos || text == "0000") {
        return std::nullopt;
    }
    return std::stoi(text);
}

int RunCalendar(CliContext& context, const Args& args) {
    if (args.size() != 1) throw UsageError{"calendar には年 YYYY を1つ指定してください"};
    const auto year = Year(args[0]);
    if (!year) throw UsageError{"年 YYYY ではありません: " + args[0]};
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    const platform::Date first{*year, 1, 1};
    const int days = platform::IsValidDate(*year, 2, 29) ? 366 : 365;
    for (int i = 0; i < days; ++i) {
        const platform::Date day = platform::AddDays(first, i);
        const int weekday = platform::Weekday(day);
        if (weekday == 0 || weekday == 6) continue;
        const std::string reason = calendar::GetHolidayName(holidays, day);
        if (!reason.empty()) std::printf("%s\t%s\n", platform::FormatSlashed(day).c_str(), reason.c_str());
    }
    return 0;
}

}  // namespace

const Command kCalendarCommand = {
    "calendar",
    "calendar YYYY\n"
    "その年に市場が休みになる平日を1行に1日ずつ表示します: yyyy/mm/dd、タブ、理由 (祝日の名前、振替休日、\n"
    "国民の休日、年末年始休業、売買停止、またはプログラムフォルダの Calender.txt の休日)。1990-2099 年は\n"
    "市場のカレンダーを内蔵し、Calender.txt がそれに加わります。ほかの年は Calender.txt だけによります。",
    RunCalendar,
};

}  // namespace mirolanda::cli
