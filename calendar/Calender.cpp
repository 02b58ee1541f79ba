#include "calendar/Calender.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "calendar/JapaneseHolidays.h"
#include "calendar/MarketCalendar.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace mirolanda::calendar {
namespace {

using platform::TrimBlanks;

// A day of the user's list: every year when Year is empty, else that day only.
struct ListedDay {
    std::optional<int> Year;
    int Month = 0;
    int Day = 0;
};

std::optional<int> TwoDigits(std::string_view text) {
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return std::nullopt;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// "mm/dd" (02/29 allowed) or "yyyy/mm/dd"; nothing for any other text.
std::optional<ListedDay> ParseListedDay(std::string_view text) {
    if (text.size() == 5 && text[2] == '/') {
        auto month = TwoDigits(text.substr(0, 2)), day = TwoDigits(text.substr(3, 2));
        if (!month || !day || !platform::IsValidDate(2000, *month, *day)) return std::nullopt;
        return ListedDay{std::nullopt, *month, *day};
    }
    auto date = platform::ParseSlashed(text);
    if (!date) return std::nullopt;
    return ListedDay{date->Year, date->Month, date->Day};
}

// The start of a field for a message, never cut inside a UTF-8 character.
std::string Excerpt(std::string_view text) {
    size_t end = std::min<size_t>(text.size(), 40);
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

// Reads one record into `row`, or gives the reason it cannot be read.
std::optional<std::string> ReadRecord(std::string_view line, platform::Table::Row& row) {
    auto fields = platform::SplitFields(line);
    if (!fields) {
        if (std::count(line.begin(), line.end(), '"') % 2 != 0) return "引用符（\"）が閉じていません";
        return "閉じる引用符（\"）の後に文字があります";
    }
    if (fields->size() > 2) return "項目が多すぎます（日付と名称の2項目のはずです）";
    row = {std::string(TrimBlanks(fields->at(0))), fields->size() > 1 ? std::string(TrimBlanks(fields->at(1))) : ""};
    if (row[0].empty()) return "日付がありません";
    if (!ParseListedDay(row[0])) {
        return "日付が mm/dd（毎年）でも yyyy/mm/dd（その日だけ）でもありません（" + Excerpt(row[0]) + "）";
    }
    return std::nullopt;
}

std::string Quoted(std::string_view field) {
    return "\"" + NormalizeHolidayField(field) + "\"";
}

struct ListedHoliday {
    std::optional<int> Year;
    std::string Name;
};

// The readable lines of the user's list for the month/day, in table order.
std::vector<ListedHoliday> ListedOn(const platform::Table& table, int month, int day) {
    std::vector<ListedHoliday> listed;
    for (const auto& row : table.Rows()) {
        auto parsed = ParseListedDay(TrimBlanks(row.at(0)));
        if (parsed && parsed->Month == month && parsed->Day == day) {
            listed.push_back({parsed->Year, std::string(TrimBlanks(row.at(1)))});
        }
    }
    return listed;
}

// The name of the user's line for exactly this day, else of the first yearless line for its
// month/day, leaving to the built-in calendar the lines that repeat its holidays.
std::string ListedHolidayName(const platform::Table& table, const platform::Date& date) {
    const std::vector<ListedHoliday> listed = ListedOn(table, date.Month, date.Day);
    for (const auto& line : listed) {
        if (line.Year == date.Year) return line.Name;
    }
    const bool builtIn = IsBuiltInCalendarYear(date.Year);
    for (const auto& line : listed) {
        if (!line.Year && !(builtIn && RepeatsBuiltInHoliday(date.Month, date.Day, line.Name))) return line.Name;
    }
    return "";
}

// The first yearless line on the Sunday's month/day when it is a national holiday: the
// substitute rule of the years the built-in calendar does not cover.
std::string ListedSundayHoliday(const platform::Table& table, const platform::Date& sunday) {
    for (const auto& line : ListedOn(table, sunday.Month, sunday.Day)) {
        if (line.Year) continue;
        const bool national = IsNationalHolidayMonthDay(sunday.Month, sunday.Day) || IsNationalHolidayName(line.Name);
        return national ? line.Name : "";
    }
    return "";
}

}  // namespace

void ResetHolidayTable(platform::Table& table) {
    table.Clear();
    table.SetColumnCount(2);
    table.SetHeading({"月/日", "名  称"});
}

namespace {

// The numbers of a day as typed, whether or not such a day exists; the year 2000 for "mm/dd",
// so that 02/29 is allowed.
struct TypedDay {
    int Year = 2000, Month = 0, Day = 0;
    bool Dated = false;
};

std::optional<TypedDay> ReadTypedDay(std::string_view typed) {
    // Month and day of one or two digits, a year of four: "5/3" and "2026/5/6" as users type them.
    std::vector<std::string_view> parts;
    for (size_t from = 0;;) {
        const size_t slash = typed.find('/', from);
        parts.push_back(typed.substr(from, slash == std::string_view::npos ? std::string_view::npos : slash - from));
        if (slash == std::string_view::npos) break;
        from = slash + 1;
    }
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    auto number = [](std::string_view digits, size_t minSize, size_t maxSize) -> std::optional<int> {
        if (digits.size() < minSize || digits.size() > maxSize) return std::nullopt;
        int value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const bool dated = parts.size() == 3;
    const auto year = dated ? number(parts[0], 4, 4) : std::optional<int>(2000);
    const auto month = number(parts[dated ? 1 : 0], 1, 2);
    const auto day = number(parts[dated ? 2 : 1], 1, 2);
    if (!year || !month || !day) return std::nullopt;
    return TypedDay{*year, *month, *day, dated};
}

}  // namespace

std::optional<std::string> NormalizeHolidayDay(std::string_view typed) {
    const auto read = ReadTypedDay(typed);
    if (!read || !platform::IsValidDate(read->Year, read->Month, read->Day)) return std::nullopt;
    const std::string slashed = platform::FormatSlashed({read->Year, read->Month, read->Day});
    return read->Dated ? slashed : slashed.substr(5);
}

std::string NormalizeHolidayField(std::string_view typed) {
    std::string text = platform::QuotableText(TrimBlanks(typed));
    // What the file can hold: a character with no Shift_JIS form would come back as 〓.
    return std::string(TrimBlanks(platform::SjisToUtf8(platform::Utf8ToSjis(text))));
}

int ApplyHoliday(platform::Table& table, std::string_view mmdd, std::string_view name, std::optional<int> editRow) {
    const std::string typed = NormalizeHolidayField(mmdd);
    if (typed.empty()) throw HolidayDateError("月/日を入力してください");
    const std::optional<std::string> day = NormalizeHolidayDay(typed);
    if (!day && ReadTypedDay(typed)) throw HolidayDateError(Excerpt(typed) + " という日はありません");
    if (!day) {
        throw HolidayDateError("日付は mm/dd（毎年）か yyyy/mm/dd（その日だけ）で入力してください（" +
                               Excerpt(typed) + "）");
    }
    const platform::Table::Row entry = {*day, NormalizeHolidayField(name)};
    auto& rows = table.MutableRows();
    if (!editRow) {
        table.AddRow(entry);
    } else if (*editRow >= 0 && *editRow < table.RowCount()) {
        rows[static_cast<size_t>(*editRow)] = entry;
    } else {
        return -1;  // the row is gone; never write into another one
    }
    std::stable_sort(rows.begin(), rows.end(), [](const platform::Table::Row& a, const platform::Table::Row& b) {
        return std::tie(a.at(0), a.at(1)) < std::tie(b.at(0), b.at(1));
    });
    return static_cast<int>(std::find(rows.begin(), rows.end(), entry) - rows.begin());
}

std::string CalenderLoad::Message() const {
    if (Problems.empty()) return {};
    std::string text = "休日ファイル " + Path.string() + " に読めない行があります。これらの行は休場日になりません。";
    for (const auto& problem : Problems) {
        text += "\n" + std::to_string(problem.Line) + "行目: " + problem.Reason;
    }
    text += "\n一覧でその行を編集するか、ファイルを直してください。";
    return text;
}

CalenderLoad LoadCalender(platform::Table& table, const std::filesystem::path& file) {
    ResetHolidayTable(table);
    CalenderLoad load{file, {}};
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return load;
    const std::vector<std::string> lines = platform::ReadSjisLines(file);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (TrimBlanks(lines[i]).empty()) continue;  // a blank line left by hand editing is no record
        platform::Table::Row row;
        if (auto reason = ReadRecord(lines[i], row)) {
            load.Problems.push_back({static_cast<int>(i + 1), *reason});
            // Kept as written where the fields cannot be told apart, so no part of it counts.
            if (row.empty()) row = {std::string(TrimBlanks(lines[i])), ""};
        }
        table.AddRow(std::move(row));
    }
    return load;
}

void SaveCalender(const platform::Table& table, const std::filesystem::path& file) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(table.RowCount()));
    for (const auto& row : table.Rows()) {
        lines.push_back(Quoted(row.at(0)) + "," + Quoted(row.at(1)));
    }
    platform::WriteSjisLines(file, lines);
}

std::string GetHolidayName(const platform::Table& table, const platform::Date& date) {
    const int weekday = platform::Weekday(date);
    if (weekday == 0) return "日曜日";
    if (weekday == 6) return "土曜日";
    if (std::string name = BuiltInClosureName(date); !name.empty()) return name;
    if (std::string name = ListedHolidayName(table, date); !name.empty()) return name;
    if (weekday == 1 && !IsBuiltInCalendarYear(date.Year)) {
        std::string sunday = ListedSundayHoliday(table, platform::AddDays(date, -1));
        if (!sunday.empty()) return sunday + "の振替";
    }
    return "";
}

std::string GetHolidayName(const platform::Table& table, std::string_view date) {
    auto parsed = platform::ParseSlashed(date);
    if (!parsed) throw platform::Error("日付は yyyy/mm/dd で指定してください: " + std::string(date));
    return GetHolidayName(table, *parsed);
}

std::string GetDataDate(const platform::Table& table, const platform::Clock& clock) {
    return platform::FormatYmd(DataDate(table, clock));
}

platform::Date DataDate(const platform::Table& table, const platform::Clock& clock) {
    const platform::DateTime now = clock.Now();
    const auto isBusiness = [&table](const platform::Date& day) { return GetHolidayName(table, day).empty(); };
    if (auto day = platform::DataDateUnder(now, isBusiness)) return *day;
    const platform::Date start = now.Hour * 100 + now.Minute < 900 ? platform::AddDays(now.Day, -1) : now.Day;
    throw NoBusinessDayError("データ日付を決められません: " + platform::FormatSlashed(start) + " から" +
                             std::to_string(platform::kDataDateStepsBack) +
                             "日さかのぼっても営業日がありません。休日の一覧 (Calender.txt) を確かめてください");
}

}  // namespace mirolanda::calendar
