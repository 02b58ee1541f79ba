// The month view's content without a window: for a year and month, the 42 day cells (six
// weeks from Sunday) with caption, reason and business-day flag, the fixed captions of the
// view, and the check of a typed year. The window only copies these into its labels.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Table.h"

namespace mirolanda::calendar {

inline constexpr int kMonthCellCount = 42;
inline constexpr std::array<std::string_view, 7> kWeekCaptions = {"日", "月", "火", "水", "木", "金", "土"};
inline constexpr std::array<std::string_view, 12> kMonthCaptions = {
    " 1月", " 2月", " 3月", " 4月", " 5月", " 6月", " 7月", " 8月", " 9月", "10月", "11月", "12月"};
inline constexpr std::string_view kYearCaption = "年";
// The weekend colour of the headings and of every non-business day, as 0x00BBGGRR.
inline constexpr unsigned kWeekendColour = 255;

struct DayCell {
    std::string Caption;  // "01" … "31", or "" outside the month
    std::string Reason;   // why the day is no business day ("" for a business day or a blank cell)
    bool IsHoliday() const { return !Reason.empty(); }
};

struct CalenderMonth {
    int Year = 0;
    int Month = 0;
    std::array<DayCell, kMonthCellCount> Cells;
};

// Cell i stands in row i / 7 and column i % 7, column 0 being Sunday. Throws
// std::invalid_argument for a year outside 1–9999 or a month outside 1–12.
CalenderMonth BuildCalenderMonth(const platform::Table& holidays, int year, int month);

// The year of a year box text: exactly four digits, 0001 to 9999. Anything else (fewer or more
// characters, letters, 0000) gives nothing, and the view stays as it was.
std::optional<int> ParseCalenderYear(std::string_view text);

}  // namespace mirolanda::calendar
