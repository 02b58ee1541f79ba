// The per-issue history files: <code>.dat, one 3,700-byte record with the issue's name and
// its last 260 closes, newest first. Recording a day, reading the name, reading the record,
// and filing daily CSV files into them.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/Progress.h"
#include "quotes/IssueCode.h"

namespace mirolanda::quotes {

inline constexpr int kHistoryDays = 260;
inline constexpr size_t kNameBytes = 60;
inline constexpr size_t kRecordBytes = 3700;

struct DayPrice {
    std::string Date;    // "yyyy/mm/dd", or ten blanks for an empty entry
    int32_t Price = -1;  // −1 marks an empty entry
};

struct IssueRecord {
    std::string Name;  // UTF-8, padded with blanks to 60 characters
    std::array<DayPrice, kHistoryDays> Days;
    // Number of used entries (those before the first −1).
    int DayCount() const;
};

// The file of a code: folder/<code>.dat ("1301.dat", "130A.dat").
std::filesystem::path IssueFilePath(const std::filesystem::path& stockFolder, const IssueCode& code);

// Byte form of a record and back. Decoding throws FormatError naming `path` for a file that is
// not exactly 3,700 bytes or whose used entries are not contiguous, sorted newest first and
// without repeated dates.
std::string EncodeIssueRecord(const IssueRecord& record);
IssueRecord DecodeIssueRecord(std::string_view bytes, const std::filesystem::path& path);

// Records one day's close: the given price wins over a stored price of the same date; the
// name is refreshed; at most 260 days are kept (the oldest dropped). Creates the folder (one
// level). Replaces the file atomically; never overwrites a file it could not read. A date not
// shaped "yyyy/mm/dd" or a negative price (−1 would end the list) is refused with Error.
void StoreDayPrice(const std::filesystem::path& stockFolder, const IssueCode& code, std::string_view name,
                   std::string_view date,
                   int32_t price);

// The stored name (60 characters with trailing blanks), or "Unknown" without a file.
std::string ReadIssueName(const std::filesystem::path& stockFolder, const IssueCode& code);

// The record; without a file, the name "Unknown" and 260 entries of zeros (date of NUL
// characters, price 0).
IssueRecord ReadIssueRecord(const std::filesystem::path& stockFolder, const IssueCode& code);

// The newest day the folder's history was filed for: the median of the files' newest days
// (entry 0, read from the first 74 bytes of each file), so the few files the holdings'
// intraday update touches do not count as a filing. Nothing when no
// file holds a day; files whose entry 0 is not a "yyyy/mm/dd" day are passed over.
std::optional<platform::Date> NewestHistoryDate(const std::filesystem::path& stockFolder);

enum class FilingResult { Filed, NoFile, BadName };

// The message shown for a file whose name is not a daily CSV name.
inline constexpr std::string_view kBadCsvNameMessage = "ファイル名エラー\rファイル名は YYYYMMDD.CSV でなければなりません。";

// Files one daily CSV file into the history files under the date of its name. Reads and
// checks the whole file first, so a malformed line (FormatError) changes no history file.
// Status texts "CSVを銘柄別データへ変換中です(yyyy/mm/dd)" and "…(yyyy/mm/dd)(code)" go to
// progress; the status is cleared at the end.
FilingResult ConvertCsvToIssueFiles(const std::filesystem::path& csvPath, const std::filesystem::path& stockFolder,
                                    const platform::Progress& progress = {});

// Files many daily CSV files in the given order with each history file read and written
// once: the result is byte-identical to filing them one at a time. Files that are missing
// or badly named are skipped and reported in the result, in order.
struct BatchFilingResult {
    std::vector<std::filesystem::path> Filed;
    std::vector<std::filesystem::path> BadNames;
    std::vector<std::filesystem::path> Missing;
};
BatchFilingResult ConvertCsvFilesToIssueFiles(const std::vector<std::filesystem::path>& csvPaths,
                                              const std::filesystem::path& stockFolder,
                                              const platform::Progress& progress = {});

}  // namespace mirolanda::quotes
