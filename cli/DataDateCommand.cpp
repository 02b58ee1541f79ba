// datadate: prints the data date "yyyymmdd" from the program folder's holiday file and the clock.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "platform/Table.h"

namespace mirolanda::cli {
namespace {

int RunDataDate(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"datadate に引数はありません"};
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    std::printf("%s\n", calendar::GetDataDate(holidays, *context.clock).c_str());
    return 0;
}

}  // namespace

const Command kDataDateCommand = {
    "datadate",
    "datadate\n"
    "データ日付 yyyymmdd を表示します: 東京の現在時刻 (--now で指定できます。9:00 より前は前日) に株価が\n"
    "出ている最新の取引日で、市場の休日 (holiday --help を参照) は飛ばします。",
    RunDataDate,
};

}  // namespace mirolanda::cli
