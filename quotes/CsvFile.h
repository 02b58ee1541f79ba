// The daily CSV file: one line per issue of the result grid, named after the data date.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Table.h"
#include "market/IssueCode.h"

namespace mirolanda::quotes {

// The daily CSV file of a data date "yyyymmdd": csvFolder/<dataDate>.csv.
std::filesystem::path DailyCsvPath(const std::filesystem::path& csvFolder, std::string_view dataDate);

// Writes the grid's data rows as csvFolder/<dataDate>.csv (Shift_JIS, CR LF, fields
// code,"name",open,high,low,close,volume), replacing the file atomically; creates the
// folder (one level). Returns the path. Throws FileError, or FormatError for a code cell that
// is no issue code or a number cell that is not an integer.
std::filesystem::path SaveDailyCsv(const platform::Table& grid, const std::filesystem::path& csvFolder,
                                   std::string_view dataDate);

// One line of a daily CSV file, as the filing reads it.
struct CsvLine {
    market::IssueCode Code;
    std::string Name;  // UTF-8, blanks kept
    int64_t Open = 0, High = 0, Low = 0, Close = 0, Volume = 0;
};

// Reads and checks a whole daily CSV file. Throws FormatError naming the file and line for
// a malformed line (too few fields, a non-number, a code that is neither 1000–9999 nor a code
// with letters such as 130A, a close that does not fit 32 bits), FileError when it cannot be read.
std::vector<CsvLine> ReadDailyCsv(const std::filesystem::path& path);

// The line of one issue in a daily CSV file, found without decoding the rest of the file;
// nothing when the file has no line of that code. Throws as ReadDailyCsv does for that line.
std::optional<CsvLine> FindDailyCsvLine(const std::filesystem::path& path, const market::IssueCode& code);

// The newest daily CSV file of the folder (exactly "yyyymmdd.csv", any letter case), of a date
// before `before` ("yyyymmdd") when one is given; nothing when the folder holds none or does
// not exist.
std::optional<std::filesystem::path> NewestDailyCsv(const std::filesystem::path& csvFolder, std::string_view before = {});

// Reads a daily CSV file back into the result grid: its heading row and one seven-column row
// per line, in the file's order. Throws as ReadDailyCsv does, the grid then unchanged.
void LoadDailyCsv(const std::filesystem::path& path, platform::Table& grid);

}  // namespace mirolanda::quotes
