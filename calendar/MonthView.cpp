#include "calendar/MonthView.h"

#include <stdexcept>

#include "calendar/Calender.h"
#include "platform/Date.h"

namespace mirolanda::calendar {

CalenderMonth BuildCalenderMonth(const platform::Table& holidays, int year, int month) {
    if (!platform::IsValidDate(year, month, 1)) {
        throw std::invalid_argument("BuildCalenderMonth: no such month " + std::to_string(year) + "/" +
                                    std::to_string(month));
    }
    CalenderMonth view;
    view.Year = year;
    view.Month = month;
    const int offset = platform::Weekday(platform::Date{year, month, 1});
    const int lastDay = platform::DaysInMonth(year, month);
    // Cells are counted by day number, so no date beyond 9999/12/31 is ever formed.
    for (int i = 0; i < kMonthCellCount; ++i) {
        const int day = i - offset + 1;
        if (day < 1 || day > lastDay) continue;
        view.Cells[static_cast<size_t>(i)].Caption = {static_cast<char>('0' + day / 10), static_cast<char>('0' + day % 10)};
        view.Cells[static_cast<size_t>(i)].Reason = GetHolidayName(holidays, platform::Date{year, month, day});
    }
    return view;
}

std::optional<int> ParseCalenderYear(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    int year = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        year = year * 10 + (c - '0');
    }
    if (year < 1) return std::nullopt;
    return year;
}

}  // namespace mirolanda::calendar
