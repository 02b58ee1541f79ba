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
#include "platform/RunLog.h"
#include "market/DayStore.h"
#include "market/IssueCode.h"

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
std::filesystem::path IssueFilePath(const std::filesystem::path& stockFolder, const market::IssueCode& code);

// Byte form of a record and back. Decoding throws FormatError naming `path` for a file that is
// not exactly 3,700 bytes or whose used entries are not contiguous, sorted newest first and
// without repeated dates.
std::string EncodeIssueRecord(const IssueRecord& record);
IssueRecord DecodeIssueRecord(std::string_view bytes, const std::filesystem::path& path);

// Records one day's close: the given price wins over a stored price of the same date; the
// name is refreshed; at most 260 days are kept (the oldest dropped). Creates the folder (one
// level). Replaces the file atomically; never overwrites a file it could not read. A date not
// shaped "yyyy/mm/dd" or a negative price (−1 would end the list) is refused with Error.
void StoreDayPrice(const std::filesystem::path& stockFolder, const market::IssueCode& code, std::string_view name,
                   std::string_view date,
                   int32_t price);

// The stored name (60 characters with trailing blanks), or "Unknown" without a file.
std::string ReadIssueName(const std::filesystem::path& stockFolder, const market::IssueCode& code);

// The record; without a file, the name "Unknown" and 260 entries of zeros (date of NUL
// characters, price 0).
IssueRecord ReadIssueRecord(const std::filesystem::path& stockFolder, const market::IssueCode& code);

// The newest day the folder's history was filed for: the median of the files' newest days
// (entry 0, read from the first 74 bytes of each file), so the few files the holdings'
// intraday update touches do not count as a filing. Nothing when no
// file holds a day; files whose entry 0 is not a "yyyy/mm/dd" day are passed over.
std::optional<platform::Date> NewestHistoryDate(const std::filesystem::path& stockFolder);

enum class FilingResult { Filed, NoFile, BadName };

// A history file that a filing left exactly as it was, because it could not be read as one
// (wrong size, days out of order, unreadable).
struct SkippedFile {
    std::filesystem::path Path;
    std::string Reason;  // e.g. "大きさが3700バイトではありません: 12バイト"
};
// "1002.dat (reason)".
std::string DescribeSkipped(const SkippedFile& skipped);
// «銘柄別データを更新できませんでした: 1002.dat (…)、1003.dat (…)», naming the first ten and
// counting the rest; "" for none.
std::string SkippedSummary(const std::vector<SkippedFile>& skipped);

// What a filing did: the history files it wrote and the ones it left alone.
struct FilingReport {
    int Stored = 0;
    std::vector<SkippedFile> Skipped;
};

// A filing's part of a run-log line: outcome "failed" (when !ok), "skipped" (some history files
// left alone) or "ok", the history files stored, and each file skipped with why.
void DescribeFilingInRunRecord(bool ok, const FilingReport& report, platform::RunRecord& record);

// "CODE.dat" with an issue code (four digits, or digits with capital letters where the
// exchange puts them): the names of history files.
bool IsHistoryFileName(std::string_view name);
// Removes the temporaries that a filing killed half-way left beside the history files (only
// those), whatever their age: call it only under the program folder's writer lock
// (platform::FolderLock), so that no other run is writing any. Every filing starts with it;
// the window calls it at start-up when no other writer holds the lock. Returns how many went.
size_t RemoveStaleHistoryTemporaries(const std::filesystem::path& stockFolder);

// The message shown for a file whose name is not a daily CSV name.
inline constexpr std::string_view kBadCsvNameMessage = "ファイル名エラー\rファイル名は YYYYMMDD.CSV でなければなりません。";

// Files one daily CSV file into the history files under the date of its name. Reads and
// checks the whole file first, so a malformed line (FormatError) changes no history file.
// Given a report, a damaged history file is left as it is and reported there, and every other
// issue is filed; without one, the first damaged file stops the filing (FormatError) before
// any file is written. Status texts "CSVを銘柄別データへ変換中です(yyyy/mm/dd)" and "…(yyyy/mm/dd)(code)" go
// to progress; the status is cleared at the end.
FilingResult ConvertCsvToIssueFiles(const std::filesystem::path& csvPath, const std::filesystem::path& stockFolder,
                                    const platform::Progress& progress = {}, FilingReport* report = nullptr);

// Files a day's closes from memory, as ConvertCsvToIssueFiles files the same day's CSV: the
// same bytes in the same order of writing. Every close is checked before any file is written
// (FormatError for one that is negative or beyond 32 bits); damaged history files as above.
void FileDay(const market::DaySnapshot& day, const std::filesystem::path& stockFolder,
             const platform::Progress& progress = {}, FilingReport* report = nullptr);

// The history files as a store of days: damaged files are left alone and gathered in Report().
class HistoryStore final : public market::DayStore {
public:
    explicit HistoryStore(std::filesystem::path stockFolder) : folder_(std::move(stockFolder)) {}
    void Add(const market::DaySnapshot& day, const platform::Progress& progress) override;
    const FilingReport& Report() const { return report_; }

private:
    std::filesystem::path folder_;
    FilingReport report_;
};

// Files many daily CSV files in the given order with each history file read and written
// once: the result is byte-identical to filing them one at a time. Files that are missing
// or badly named are skipped and reported in the result, in order; so are damaged history files.
struct BatchFilingResult {
    std::vector<std::filesystem::path> Filed;
    std::vector<std::filesystem::path> BadNames;
    std::vector<std::filesystem::path> Missing;
    FilingReport Report;
};
BatchFilingResult ConvertCsvFilesToIssueFiles(const std::vector<std::filesystem::path>& csvPaths,
                                              const std::filesystem::path& stockFolder,
                                              const platform::Progress& progress = {});

}  // namespace mirolanda::quotes
