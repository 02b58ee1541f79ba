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
    if (args.size() != 1) throw UsageError{"holiday には日付 yyyy/mm/dd を1つ指定してください"};
    auto day = platform::ParseSlashed(args[0]);
    if (!day) throw UsageError{"yyyy/mm/dd の形の日付ではありません: " + args[0]};
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    std::string reason = calendar::GetHolidayName(holidays, *day);
    if (!reason.empty()) std::printf("%s\n", reason.c_str());
    return 0;
}

}  // namespace

const Command kHolidayCommand = {
    "holiday",
    "holiday yyyy/mm/dd\n"
    "その日に市場が休みになる理由を表示します (営業日なら何も表示しません): 土曜日、日曜日、祝日の名前、\n"
    "振替休日、国民の休日、年末年始休業 (12/31 から 01/03)、売買停止、またはプログラムフォルダの\n"
    "Calender.txt の休日 (\"mm/dd\" は毎年、\"yyyy/mm/dd\" はその日だけ)。\n"
    "市場のカレンダーを内蔵しているのは 1990-2099 年だけです。ほかの年は週末と Calender.txt だけにより、\n"
    "一覧にある祝日が日曜日に当たった翌日の月曜日は、その名前に「の振替」を付けて表示します。",
    RunHoliday,
};

}  // namespace mirolanda::cli
