// Market holidays and the business-day rules: the holiday table and its file
// "Calender.txt", the reason a day is no business day, and the data date.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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

// Puts a typed holiday into the table in the form the file keeps (NormalizeHolidayField), so
// the table never differs from what a reload gives: appended when editRow is empty, else
// written into that row; then sorts the rows by month/day, then name, in character order,
// equal rows keeping their order. Returns the row the entry stands in afterwards, or -1 with
// the table unchanged when editRow names no row.
int ApplyHoliday(platform::Table& table, std::string_view mmdd, std::string_view name, std::optional<int> editRow);

// Resets the table and appends one row per record of the file (fields trimmed, quotes
// optional). A missing file is an empty list. Throws FileError when the file cannot be read.
void LoadCalender(platform::Table& table, const std::filesystem::path& file);

// Rewrites the file atomically with the table's rows: "mm/dd","name" per line, CR LF.
// A double quote inside a field is written as the full-width ＂ so the file reads back the same.
void SaveCalender(const platform::Table& table, const std::filesystem::path& file);

// The trimmed name of the first row whose trimmed month/day equals mmdd, or "".
std::string FindHoliday(const platform::Table& table, std::string_view mmdd);

// Why the date ("yyyy/mm/dd") is no business day: "日曜日", "土曜日", a holiday's name, or
// its name + "の振替" for the Monday after a listed Sunday; "" for a business day.
std::string GetHolidayName(const platform::Table& table, std::string_view date);
std::string GetHolidayName(const platform::Table& table, const platform::Date& date);

// Thrown when no business day lies within 366 days before the present day.
class NoBusinessDayError : public platform::Error {
public:
    using platform::Error::Error;
};

// The data date "yyyymmdd": before 09:00 the previous day, then back over non-business days.
std::string GetDataDate(const platform::Table& table, const platform::Clock& clock);

}  // namespace mirolanda::calendar
