// Market holidays and the business-day rules: the user's holiday table and its file
// "Calender.txt", the reason a day is no business day (the built-in calendar of
// MarketCalendar.h and the user's list together), and the data date.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/Table.h"

namespace mirolanda::calendar {

// Empties the table and gives it its two columns and headings "月/日", "名  称".
void ResetHolidayTable(platform::Table& table);

// A month/day or name as the holiday file keeps it: trimmed, a double quote as the full-width
// ＂, control characters (line breaks, tabs) as blanks, and only characters that Shift_JIS
// can hold. The editor stores this form, so the table always equals what the file reads back.
std::string NormalizeHolidayField(std::string_view typed);

// A typed day in the form the file keeps: "5/3" gives "05/03", "2026/5/6" gives "2026/05/06";
// nothing for a text that is not a real month/day (02/29 allowed) or year/month/day.
std::optional<std::string> NormalizeHolidayDay(std::string_view typed);

// A typed day that is empty or neither "mm/dd" (every year) nor "yyyy/mm/dd" (that day only).
class HolidayDateError : public platform::Error {
public:
    using platform::Error::Error;
};

// Puts a typed holiday into the table in the form the file keeps (NormalizeHolidayField), so
// the table never differs from what a reload gives: appended when editRow is empty, else
// written into that row; then sorts the rows by day, then name, in character order, equal
// rows keeping their order. Returns the row the entry stands in afterwards, or -1 with the
// table unchanged when editRow names no row. The day is stored as NormalizeHolidayDay gives
// it. Throws HolidayDateError, the table unchanged, for an empty day or one that is not a
// real month/day or year/month/day.
int ApplyHoliday(platform::Table& table, std::string_view mmdd, std::string_view name, std::optional<int> editRow);

// A line of the holiday file that could not be read. It stays in the table as it was
// written, so that saving keeps it, but it closes no day.
struct CalenderProblem {
    int Line = 0;        // 1-based
    std::string Reason;  // Japanese
};

struct CalenderLoad {
    std::filesystem::path Path;
    std::vector<CalenderProblem> Problems;
    // One Japanese message naming the file and every unreadable line; empty without problems.
    std::string Message() const;
};

// Resets the table and appends one row per record of the file: "mm/dd" closes that day
// every year, "yyyy/mm/dd" that day only; fields trimmed, quotes optional, the name may be
// left out. A line with an unclosed quote, text after a closing quote, more than two fields
// or a day in neither form is kept but reported. A missing file is an empty list; nothing is
// written. Throws FileError when the file cannot be read.
CalenderLoad LoadCalender(platform::Table& table, const std::filesystem::path& file);

// Rewrites the file atomically with the table's rows: "mm/dd","name" per line, CR LF.
// A double quote inside a field is written as the full-width ＂ so the file reads back the same.
void SaveCalender(const platform::Table& table, const std::filesystem::path& file);

// Why the date ("yyyy/mm/dd") is no business day, "" for a business day: "日曜日" or
// "土曜日"; else, for 1990–2099, the built-in calendar's reason (a national holiday's name,
// "振替休日", "国民の休日", "年末年始休業", a halt); else the user's line for that very
// day, then the first yearless line for its month/day. In 1990–2099 a yearless line that
// repeats a built-in holiday (RepeatsBuiltInHoliday) is left to the built-in calendar, which
// knows the right day each year. Outside those years a Monday after a listed national holiday
// on a Sunday is that holiday's name + "の振替", as it always was.
std::string GetHolidayName(const platform::Table& table, std::string_view date);
std::string GetHolidayName(const platform::Table& table, const platform::Date& date);

// Thrown when no business day lies within 366 days before the present day.
class NoBusinessDayError : public platform::Error {
public:
    using platform::Error::Error;
};

// The data date: before 09:00 the previous day, then back over non-business days. Throws
// NoBusinessDayError when no business day lies within a year. GetDataDate gives it as "yyyymmdd".
platform::Date DataDate(const platform::Table& table, const platform::Clock& clock);
std::string GetDataDate(const platform::Table& table, const platform::Clock& clock);

}  // namespace mirolanda::calendar
