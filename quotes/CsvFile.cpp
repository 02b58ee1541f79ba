#include "quotes/CsvFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotes/ResultGrid.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {
namespace {

constexpr int kFieldCount = 7;
constexpr int kNumberFields = 5;  // open, high, low, close, volume
constexpr std::array<const char*, kNumberFields> kNumberNames = {"始値", "高値", "安値", "終値", "出来高"};

using platform::TrimBlanks;

constexpr int64_t kMaxYen = std::numeric_limits<int64_t>::max() / 10;

enum class NumberStatus { Ok, NotNumber, TooLarge };

// Reads "-123", "350.5" and the like (blanks around allowed) as an integer, a fraction
// rounded to the nearest integer with a half going to the even neighbour. Never wraps.
NumberStatus ParseRoundedInteger(std::string_view text, int64_t& out) {
    text = TrimBlanks(text);
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    size_t i = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int d = text[i] - '0';
        if (value > (kMax - d) / 10) return NumberStatus::TooLarge;
        value = value * 10 + d;
        digits = true;
    }
    int firstFraction = -1;  // the first digit after the point, -1 when there is none
    bool restNonZero = false;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (firstFraction < 0) firstFraction = text[i] - '0';
            else if (text[i] != '0') restNonZero = true;
            digits = true;
        }
    }
    if (!digits || i != text.size()) return NumberStatus::NotNumber;
    bool up = firstFraction > 5 || (firstFraction == 5 && (restNonZero || value % 2 == 1));
    if (up) {
        if (value == kMax) return NumberStatus::TooLarge;
        ++value;
    }
    out = negative ? -value : value;
    return NumberStatus::Ok;
}

// Keeps error messages short whatever a hostile file holds: at most 20 characters of the field.
std::string Excerpt(std::string_view text) {
    size_t end = 0;
    for (int chars = 0; end < text.size() && chars < 20; ++chars) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    return std::string(text.substr(0, end)) + (end < text.size() ? "…" : "");
}

int64_t ReadNumber(std::string_view field, const char* what, const fs::path& path, int line) {
    int64_t value = 0;
    switch (ParseRoundedInteger(field, value)) {
        case NumberStatus::Ok:
            return value;
        case NumberStatus::TooLarge:
            throw platform::FormatError(path, line, std::string(what) + "が大きすぎます(" + Excerpt(field) + ")");
        case NumberStatus::NotNumber:
            break;
    }
    throw platform::FormatError(path, line, std::string(what) + "が数値ではありません(" + Excerpt(field) + ")");
}

// A code with letters as written; a numeric code as before: a whole number 1000–9999.
market::IssueCode ReadCode(std::string_view field, const fs::path& path, int line) {
    if (auto code = market::IssueCode::Parse(TrimBlanks(field))) return *code;
    int64_t code = 0;
    if (ParseRoundedInteger(field, code) != NumberStatus::Ok || code < 1000 || code > 9999 ||
        TrimBlanks(field).find('.') != std::string_view::npos) {
        throw platform::FormatError(path, line, "銘柄コードが正しくありません(" + Excerpt(field) + ")");
    }
    return market::IssueCode(static_cast<int>(code));
}

// The name field: the text inside the double quotes. A quote inside the name is written
// unquoted by the saver, so the name runs to the last quote before the five numbers.
std::string ReadName(std::string_view field, const fs::path& path, int line) {
    std::string_view text = TrimBlanks(field);
    if (text.empty() || text.front() != '"') return std::string(text);
    if (text.size() < 2 || text.back() != '"') {
        throw platform::FormatError(path, line, "銘柄名の引用符が閉じていません(" + Excerpt(field) + ")");
    }
    return std::string(text.substr(1, text.size() - 2));
}

// Splits code,"name",o,h,l,c,v from both ends, so that commas and quotes in the name survive.
market::SnapshotRow ParseLine(std::string_view text, const fs::path& path, int line) {
    size_t firstComma = text.find(',');
    std::array<size_t, kNumberFields> commas{};  // positions of the commas before each number
    size_t end = text.size();
    for (int k = kNumberFields - 1; k >= 0; --k) {
        size_t pos = end == 0 ? std::string_view::npos : text.rfind(',', end - 1);
        if (pos == std::string_view::npos || firstComma == std::string_view::npos || pos <= firstComma) {
            throw platform::FormatError(path, line, "項目が" + std::to_string(kFieldCount) + "つありません");
        }
        commas[static_cast<size_t>(k)] = pos;
        end = pos;
    }
    market::SnapshotRow result;
    result.Code = ReadCode(text.substr(0, firstComma), path, line);
    result.Name = ReadName(text.substr(firstComma + 1, commas[0] - firstComma - 1), path, line);
    std::array<int64_t, kNumberFields> numbers{};
    for (size_t k = 0; k < kNumberFields; ++k) {
        size_t from = commas[k] + 1;
        size_t to = k + 1 < kNumberFields ? commas[k + 1] : text.size();
        numbers[k] = ReadNumber(text.substr(from, to - from), kNumberNames[k], path, line);
    }
    // A close is stored as a 32-bit price, and −1 marks an empty history entry.
    if (numbers[3] < 0 || numbers[3] > std::numeric_limits<int32_t>::max()) {
        throw platform::FormatError(path, line, "終値が範囲外です(" + std::to_string(numbers[3]) + ")");
    }
    // Whole yen in the file; prices beyond what tenths can hold are refused with the rest.
    for (size_t k = 0; k < 4; ++k) {
        if (numbers[k] > kMaxYen || numbers[k] < -kMaxYen) {
            throw platform::FormatError(path, line, std::string(kNumberNames[k]) + "が大きすぎます(" +
                                                        std::to_string(numbers[k]) + ")");
        }
    }
    market::Bar& bar = result.Prices;
    bar.Open = market::FromYen(numbers[0]);
    bar.High = market::FromYen(numbers[1]);
    bar.Low = market::FromYen(numbers[2]);
    bar.Close = market::FromYen(numbers[3]);
    bar.Volume = numbers[4];
    return result;
}

// A grid cell as the integer it must hold.
int64_t GridNumber(const platform::Table& grid, int row, int column, const fs::path& path) {
    const std::string& cell = grid.Cell(row, column);
    int64_t value = 0;
    if (ParseRoundedInteger(cell, value) != NumberStatus::Ok) {
        throw platform::FormatError(path, row + 1,
                                    "結果表の" + std::to_string(column + 1) + "列目が整数ではありません(" + Excerpt(cell) + ")");
    }
    return value;
}

// A code cell: a code with letters as it stands, a numeric code as the integer it holds.
std::string GridCode(const platform::Table& grid, int row, const fs::path& path) {
    if (auto code = market::IssueCode::Parse(TrimBlanks(grid.Cell(row, 0)))) return code->Text();
    const int64_t number = GridNumber(grid, row, 0, path);
    if (number < 1000 || number > 9999) {
        throw platform::FormatError(path, row + 1, "銘柄コードが正しくありません(" + Excerpt(grid.Cell(row, 0)) + ")");
    }
    return std::to_string(number);
}

bool IsDataDate(std::string_view text) {
    if (text.size() != 8) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A line of the file: code,"name",open,high,low,close,volume.
std::string CsvLineOf(const market::SnapshotRow& row) {
    const market::Bar& bar = row.Prices;
    std::string line = row.Code.Text() + ",\"" + CsvName(row.Name) + "\"";
    for (market::Tenths price : {bar.Open, bar.High, bar.Low, bar.Close}) line += "," + std::to_string(market::WholeYen(price));
    return line + "," + std::to_string(bar.Volume);
}

// The grid's rows as the day's rows, every cell checked as the file needs it.
std::vector<market::SnapshotRow> GridRows(const platform::Table& grid, const fs::path& path) {
    if (grid.ColumnCount() < kFieldCount) {
        throw platform::FormatError(path, 0, "結果表の列が足りません");
    }
    std::vector<market::SnapshotRow> rows;
    rows.reserve(static_cast<size_t>(grid.RowCount()));
    for (int row = 0; row < grid.RowCount(); ++row) {
        market::SnapshotRow day;
        day.Code = *market::IssueCode::Parse(GridCode(grid, row, path));
        day.Name = grid.Cell(row, 1);
        std::array<int64_t, kNumberFields> numbers{};
        for (int column = 2; column < kFieldCount; ++column) {
            numbers[static_cast<size_t>(column - 2)] = GridNumber(grid, row, column, path);
            if (column < 6 && (numbers[static_cast<size_t>(column - 2)] > kMaxYen || numbers[static_cast<size_t>(column - 2)] < -kMaxYen)) {
                throw platform::FormatError(path, row + 1, "結果表の" + std::to_string(column + 1) + "列目が大きすぎます");
            }
        }
        day.Prices.Open = market::FromYen(numbers[0]);
        day.Prices.High = market::FromYen(numbers[1]);
        day.Prices.Low = market::FromYen(numbers[2]);
        day.Prices.Close = market::FromYen(numbers[3]);
        day.Prices.Volume = numbers[4];
        rows.push_back(std::move(day));
    }
    return rows;
}

fs::path WriteCsvLines(const std::vector<market::SnapshotRow>& rows, const fs::path& csvFolder, const fs::path& path) {
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const market::SnapshotRow& row : rows) {
        if (!row.Code.IsValid()) throw platform::FormatError(path, 0, "銘柄コードが正しくありません(" + Excerpt(row.Code.Text()) + ")");
        lines.push_back(CsvLineOf(row));
    }
    platform::EnsureFolder(csvFolder);
    platform::WriteSjisLines(path, lines);
    return path;
}

// The digits of a date part, or -1 when it holds anything else: a blank or a letter is no date.
int DigitsValue(std::string_view piece) {
    int value = 0;
    for (char c : piece) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

fs::path DailyCsvPath(const fs::path& csvFolder, std::string_view dataDate) {
    return csvFolder / (std::string(dataDate) + ".csv");
}

std::string CsvName(std::string_view name) {
    std::string text(name);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

fs::path DailyCsvPath(const fs::path& csvFolder, const platform::Date& day) {
    return DailyCsvPath(csvFolder, platform::FormatYmd(day));
}

std::string DateFromCsvFileName(std::string_view path) {
    constexpr size_t kTail = 12;  // "20010517.CSV"
    std::string tail(path.size() > kTail ? path.substr(path.size() - kTail) : path);
    for (char& c : tail) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (tail.size() < kTail || tail.compare(8, 4, ".CSV") != 0) return {};
    const int year = DigitsValue(std::string_view(tail).substr(0, 4));
    const int month = DigitsValue(std::string_view(tail).substr(4, 2));
    const int day = DigitsValue(std::string_view(tail).substr(6, 2));
    if (year < 1900 || year > 2099) return {};
    if (month < 1 || month > 12) return {};
    if (day < 1 || day > 31) return {};
    return tail.substr(0, 8);
}

fs::path SaveDailyCsv(const market::DaySnapshot& day, const fs::path& csvFolder) {
    const fs::path path = DailyCsvPath(csvFolder, day.Day);
    return WriteCsvLines(day.Rows, csvFolder, path);
}

fs::path SaveDailyCsv(const platform::Table& grid, const fs::path& csvFolder, std::string_view dataDate) {
    // The date names the file; anything but eight digits could point outside the folder.
    if (!IsDataDate(dataDate)) {
        throw platform::FileError(csvFolder, "データ日付が正しくありません(" + Excerpt(dataDate) + ")");
    }
    const fs::path path = DailyCsvPath(csvFolder, dataDate);
    return WriteCsvLines(GridRows(grid, path), csvFolder, path);
}

void DailyCsvStore::Add(const market::DaySnapshot& day, const platform::Progress& progress) {
    progress.Show("ＣＳＶファイル保存中");
    last_ = SaveDailyCsv(day, folder_);
    progress.Show("ＣＳＶファイル保存完了");
}

std::vector<market::SnapshotRow> ReadDailyCsv(const fs::path& path) {
    std::vector<std::string> texts = platform::ReadSjisLines(path);
    std::vector<market::SnapshotRow> lines;
    lines.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        // An empty line (a blank line at the end, say) holds no issue.
        if (texts[i].empty()) continue;
        lines.push_back(ParseLine(texts[i], path, static_cast<int>(i + 1)));
    }
    return lines;
}

market::DaySnapshot ReadDailyCsvDay(const fs::path& path) {
    const auto day = platform::ParseYmd(DateFromCsvFileName(path.filename().string()));
    if (!day) throw platform::FormatError(path, 0, "ファイル名は YYYYMMDD.CSV でなければなりません");
    market::DaySnapshot snapshot;
    snapshot.Day = *day;
    snapshot.Source = "csv";
    snapshot.Rows = ReadDailyCsv(path);
    for (market::SnapshotRow& row : snapshot.Rows) row.Prices.Day = *day;
    return snapshot;
}

std::optional<market::SnapshotRow> FindDailyCsvLine(const fs::path& path, const market::IssueCode& code) {
    const std::string bytes = platform::ReadFileBytes(path);
    // Codes and separators are ASCII, and no Shift_JIS byte of a name is a comma or a line
    // break, so the line can be found in the bytes as they are.
    const std::string start = code.Text() + ",";
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        if (bytes.compare(at, start.size(), start) == 0) {
            std::string_view line(bytes.data() + at, end - at);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const auto number = static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
            return ParseLine(platform::SjisToUtf8(line), path, number + 1);
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::optional<fs::path> NewestDailyCsv(const fs::path& csvFolder, std::string_view before) {
    std::error_code ec;
    std::optional<fs::path> newest;
    std::string newestDate;
    for (fs::directory_iterator it(csvFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string date = DateFromCsvFileName(path.filename().string());
        // Exactly "yyyymmdd.csv": a copy such as "20261203 (2).csv" is not a day of its own.
        if (date.empty() || path.filename().string().size() != 12 || !it->is_regular_file(ec)) continue;
        if (!before.empty() && date >= before) continue;
        if (date > newestDate) {
            newestDate = date;
            newest = path;
        }
    }
    return newest;
}

void LoadDailyCsv(const fs::path& path, platform::Table& grid) {
    market::DaySnapshot day;
    day.Rows = ReadDailyCsv(path);
    ShowDayInGrid(day, grid);
}

}  // namespace mirolanda::quotes
