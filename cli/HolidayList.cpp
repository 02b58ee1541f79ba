#include "cli/HolidayList.h"

#include <cstdio>

#include "calendar/Calender.h"
#include "platform/Folders.h"

namespace mirolanda::cli {

platform::Table LoadHolidayList(const std::filesystem::path& programFolder) {
    platform::Table holidays;
    const calendar::CalenderLoad load = calendar::LoadCalender(holidays, platform::CalenderFile(programFolder));
    if (!load.Problems.empty()) std::fprintf(stderr, "%s\n", load.Message().c_str());
    return holidays;
}

}  // namespace mirolanda::cli
