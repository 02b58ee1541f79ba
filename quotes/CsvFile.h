// The daily CSV file: one line per issue of a trading day, named after its date, and the store
// that writes a day's snapshot into it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "market/DaySnapshot.h"
#include "market/DayStore.h"
#include "platform/Date.h"
#include "platform/Table.h"

namespace mirolanda::quotes {

// The daily CSV file of a data date "yyyymmdd": csvFolder/<dataDate>.csv.
std::filesystem::path DailyCsvPath(const std::filesystem::path& csvFolder, std::string_view dataDate);
std::filesystem::path DailyCsvPath(const std::filesystem::path& csvFolder, const platform::Date& day);

// "YYYYMMDD" from a name such as C:/data/20010517.csv (extension in any case), or "" when
// the last twelve characters are not such a name.
std::string DateFromCsvFileName(std::string_view path);

// A name as the daily CSV keeps it: a line break inside would split its line in two, so line
// breaks become blanks. The history files keep the same name, whichever way a day is filed.
std::string CsvName(std::string_view name);

// Writes the day's rows as csvFolder/<yyyymmdd>.csv (Shift_JIS, CR LF, fields
// code,"name",open,high,low,close,volume with prices in whole yen, a half going to the even
// neighbour), replacing the file atomically; creates the folder (one level). Returns the path.
// Throws FileError, or FormatError for a code that is no issue code.
std::filesystem::path SaveDailyCsv(const market::DaySnapshot& day, const std::filesystem::path& csvFolder);
// Same for the result grid's data rows under a data date "yyyymmdd" (the window's 「ＣＳＶ保存」):
// FormatError for a code cell that is no issue code or a number cell that is not an integer.
std::filesystem::path SaveDailyCsv(const platform::Table& grid, const std::filesystem::path& csvFolder,
                                   std::string_view dataDate);

// Reads and checks a whole daily CSV file into rows (prices in tenths of whole yen, days of the
// bars left unset). Throws FormatError naming the file and line for a malformed line (too few
// fields, a non-number, a code that is neither 1000–9999 nor a code with letters such as
// 130A, a close that does not fit 32 bits), FileError when it cannot be read.
std::vector<market::SnapshotRow> ReadDailyCsv(const std::filesystem::path& path);
// The file as the day its name gives (source "csv"); FormatError for a name that gives none.
market::DaySnapshot ReadDailyCsvDay(const std::filesystem::path& path);

// The line of one issue in a daily CSV file, found without decoding the rest of the file;
// nothing when the file has no line of that code. Throws as ReadDailyCsv does for that line.
std::optional<market::SnapshotRow> FindDailyCsvLine(const std::filesystem::path& path, const market::IssueCode& code);

// The newest daily CSV file of the folder (exactly "yyyymmdd.csv", any letter case), of a date
// before `before` ("yyyymmdd") when one is given; nothing when the folder holds none or does
// not exist.
std::optional<std::filesystem::path> NewestDailyCsv(const std::filesystem::path& csvFolder, std::string_view before = {});

// Reads a daily CSV file back into the result grid: its heading row and one seven-column row
// per line, in the file's order. Throws as ReadDailyCsv does, the grid then unchanged.
void LoadDailyCsv(const std::filesystem::path& path, platform::Table& grid);

// The daily CSV as a store of days: each day added is written as its file.
class DailyCsvStore final : public market::DayStore {
public:
    explicit DailyCsvStore(std::filesystem::path csvFolder) : folder_(std::move(csvFolder)) {}
    void Add(const market::DaySnapshot& day, const platform::Progress& progress) override;
    // The file the last day went to.
    const std::optional<std::filesystem::path>& LastPath() const { return last_; }

private:
    std::filesystem::path folder_;
    std::optional<std::filesystem::path> last_;
};

}  // namespace mirolanda::quotes
