#include "quotes/CsvFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotes/HtmlCommon.h"
#include "quotes/QuotePage.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {
namespace {

constexpr int kFieldCount = 7;
constexpr int kNumberFields = 5;  // open, high, low, close, volume
constexpr std::array<const char*, kNumberFields> kNumberNames = {"始値", "高値", "安値", "終値", "出来高"};

using platform::TrimBlanks;

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
CsvLine ParseLine(std::string_view text, const fs::path& path, int line) {
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
    CsvLine result;
    result.Code = ReadCode(text.substr(0, firstComma), path, line);
    result.Name = ReadName(text.substr(firstComma + 1, commas[0] - firstComma - 1), path, line);
    std::array<int64_t, kNumberFields> numbers{};
    for (size_t k = 0; k < kNumberFields; ++k) {
        size_t from = commas[k] + 1;
        size_t to = k + 1 < kNumberFields ? commas[k + 1] : text.size();
        numbers[k] = ReadNumber(text.substr(from, to - from), kNumberNames[k], path, line);
    }
    result.Open = numbers[0];
    result.High = numbers[1];
    result.Low = numbers[2];
    result.Close = numbers[3];
    result.Volume = numbers[4];
    // A close is stored as a 32-bit price, and −1 marks an empty history entry.
    if (result.Close < 0 || result.Close > std::numeric_limits<int32_t>::max()) {
        throw platform::FormatError(path, line, "終値が範囲外です(" + std::to_string(result.Close) + ")");
    }
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

}  // namespace

fs::path DailyCsvPath(const fs::path& csvFolder, std::string_view dataDate) {
    return csvFolder / (std::string(dataDate) + ".csv");
}

fs::path SaveDailyCsv(const platform::Table& grid, const fs::path& csvFolder, std::string_view dataDate) {
    // The date names the file; anything but eight digits could point outside the folder.
    if (!IsDataDate(dataDate)) {
        throw platform::FileError(csvFolder, "データ日付が正しくありません(" + Excerpt(dataDate) + ")");
    }
    const fs::path path = DailyCsvPath(csvFolder, dataDate);
    if (grid.ColumnCount() < kFieldCount) {
        throw platform::FormatError(path, 0, "結果表の列が足りません");
    }
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(grid.RowCount()));
    for (int row = 0; row < grid.RowCount(); ++row) {
        const std::string code = GridCode(grid, row, path);
        std::string name = grid.Cell(row, 1);
        // A line break inside a name would split its line in two and spoil the whole file.
        for (char& c : name) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        std::string line = code + ",\"" + name + "\"";
        for (int column = 2; column < kFieldCount; ++column) {
            line += ',';
            line += std::to_string(GridNumber(grid, row, column, path));
        }
        lines.push_back(std::move(line));
    }
    platform::EnsureFolder(csvFolder);
    platform::WriteSjisLines(path, lines);
    return path;
}

std::vector<CsvLine> ReadDailyCsv(const fs::path& path) {
    std::vector<std::string> texts = platform::ReadSjisLines(path);
    std::vector<CsvLine> lines;
    lines.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        // An empty line (a blank line at the end, say) holds no issue.
        if (texts[i].empty()) continue;
        lines.push_back(ParseLine(texts[i], path, static_cast<int>(i + 1)));
    }
    return lines;
}

std::optional<CsvLine> FindDailyCsvLine(const fs::path& path, const market::IssueCode& code) {
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
    const std::vector<CsvLine> lines = ReadDailyCsv(path);
    ResetResultGrid(grid);
    for (const CsvLine& line : lines) {
        grid.AddRow({line.Code.Text(), line.Name, std::to_string(line.Open), std::to_string(line.High),
                     std::to_string(line.Low), std::to_string(line.Close), std::to_string(line.Volume)});
    }
}

}  // namespace mirolanda::quotes
