#include "calendar/Calender.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace mirolanda::calendar {
namespace {

// How far GetDataDate looks back before it gives up: a whole year, so every real table
// (even one with a long closure) finds a day, and a table that lists every day cannot hang us.
constexpr int kMaxStepsBack = 366;

using platform::IsBlank;
using platform::TrimBlanks;

// Reads one field starting at `pos`: a quoted field runs to its closing quote, an unquoted
// one to the next comma. Leaves `pos` after the comma that ends the field (or at the end).
std::string ReadField(std::string_view line, size_t& pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    std::string_view field;
    size_t searchFrom = pos;
    if (pos < line.size() && line[pos] == '"') {
        size_t close = line.find('"', pos + 1);
        size_t end = close == std::string_view::npos ? line.size() : close;
        field = line.substr(pos + 1, end - pos - 1);
        searchFrom = end;  // text between the closing quote and the comma is dropped
    }
    size_t comma = line.find(',', searchFrom);
    if (searchFrom == pos) {
        field = line.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos);
    }
    pos = comma == std::string_view::npos ? line.size() : comma + 1;
    return std::string(TrimBlanks(field));
}

std::string Quoted(std::string_view field) {
    return "\"" + NormalizeHolidayField(field) + "\"";
}

}  // namespace

void ResetHolidayTable(platform::Table& table) {
    table.Clear();
    table.SetColumnCount(2);
    table.SetHeading({"月/日", "名  称"});
}

std::string NormalizeHolidayField(std::string_view typed) {
    std::string text = platform::QuotableText(TrimBlanks(typed));
    // What the file can hold: a character with no Shift_JIS form would come back as 〓.
    return std::string(TrimBlanks(platform::SjisToUtf8(platform::Utf8ToSjis(text))));
}

int ApplyHoliday(platform::Table& table, std::string_view mmdd, std::string_view name, std::optional<int> editRow) {
    const platform::Table::Row entry = {NormalizeHolidayField(mmdd), NormalizeHolidayField(name)};
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

void LoadCalender(platform::Table& table, const std::filesystem::path& file) {
    ResetHolidayTable(table);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return;
    for (const std::string& line : platform::ReadSjisLines(file)) {
        if (TrimBlanks(line).empty()) continue;  // a blank line left by hand editing is no record
        size_t pos = 0;
        std::string mmdd = ReadField(line, pos);
        std::string name = ReadField(line, pos);
        table.AddRow({std::move(mmdd), std::move(name)});
    }
}

void SaveCalender(const platform::Table& table, const std::filesystem::path& file) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(table.RowCount()));
    for (const auto& row : table.Rows()) {
        lines.push_back(Quoted(row.at(0)) + "," + Quoted(row.at(1)));
    }
    platform::WriteSjisLines(file, lines);
}

std::string FindHoliday(const platform::Table& table, std::string_view mmdd) {
    for (const auto& row : table.Rows()) {
        if (TrimBlanks(row.at(0)) == mmdd) return std::string(TrimBlanks(row.at(1)));
    }
    return "";
}

std::string GetHolidayName(const platform::Table& table, const platform::Date& date) {
    int weekday = platform::Weekday(date);
    if (weekday == 0) return "日曜日";
    if (weekday == 6) return "土曜日";
    std::string name = FindHoliday(table, platform::FormatSlashed(date).substr(5, 5));
    if (!name.empty()) return name;
    if (weekday == 1) {
        std::string sunday = FindHoliday(table, platform::FormatSlashed(platform::AddDays(date, -1)).substr(5, 5));
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
    platform::DateTime now = clock.Now();
    platform::Date candidate = now.Day;
    // Before the market opens, the newest prices are the previous day's.
    if (now.Hour * 100 + now.Minute < 900) candidate = platform::AddDays(candidate, -1);
    const platform::Date start = candidate;
    for (int step = 0; step <= kMaxStepsBack; ++step) {
        if (!platform::IsValidDate(candidate.Year, candidate.Month, candidate.Day)) break;
        if (GetHolidayName(table, candidate).empty()) return platform::FormatYmd(candidate);
        candidate = platform::AddDays(candidate, -1);
    }
    throw NoBusinessDayError("データ日付を決められません: " + platform::FormatSlashed(start) + " から" +
                             std::to_string(kMaxStepsBack) +
                             "日さかのぼっても営業日がありません。休日の一覧 (Calender.txt) を確かめてください");
}

}  // namespace mirolanda::calendar
