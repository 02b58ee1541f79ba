#include "quotes/StockFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "platform/AtomicFile.h"
#include "platform/SjisText.h"
#include "quotes/CsvFile.h"
#include "market/IssueCode.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {
namespace {

constexpr size_t kDateBytes = 10;
constexpr size_t kEntryBytes = 14;
constexpr int32_t kEmptyPrice = -1;
constexpr std::string_view kUnknownName = "Unknown";

size_t EntryOffset(int i) {
    return kNameBytes + kEntryBytes * static_cast<size_t>(i);
}

int32_t PriceAt(std::string_view bytes, int i) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + EntryOffset(i) + kDateBytes);
    uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    return static_cast<int32_t>(v);
}

void SetPriceAt(std::string& bytes, int i, int32_t price) {
    auto v = static_cast<uint32_t>(price);
    char* p = bytes.data() + EntryOffset(i) + kDateBytes;
    for (int k = 0; k < 4; ++k) p[k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

std::string_view DateAt(std::string_view bytes, int i) {
    return bytes.substr(EntryOffset(i), kDateBytes);
}

// A file with no days: every date ten blanks, every price −1, the name blank.
std::string EmptyRecordBytes() {
    std::string bytes(kRecordBytes, ' ');
    for (int i = 0; i < kHistoryDays; ++i) SetPriceAt(bytes, i, kEmptyPrice);
    return bytes;
}

platform::FormatError WrongSize(const fs::path& path, const std::string& size) {
    return platform::FormatError(path, 0, "大きさが" + std::to_string(kRecordBytes) + "バイトではありません: " + size + "バイト");
}

// Checks the layout every reader relies on and returns the number of used entries. Readers
// stop at the first −1, so anything out of order would hide days or file new ones wrongly.
int CheckRecordBytes(std::string_view bytes, const fs::path& path) {
    if (bytes.size() != kRecordBytes) throw WrongSize(path, std::to_string(bytes.size()));
    int count = 0;
    while (count < kHistoryDays && PriceAt(bytes, count) != kEmptyPrice) ++count;
    for (int i = count + 1; i < kHistoryDays; ++i) {
        if (PriceAt(bytes, i) != kEmptyPrice) {
            throw platform::FormatError(path, 0, std::to_string(i + 1) + "番目の日付が連続していません");
        }
    }
    for (int i = 1; i < count; ++i) {
        int order = DateAt(bytes, i - 1).compare(DateAt(bytes, i));
        if (order == 0) {
            throw platform::FormatError(path, 0, "日付が重複しています: " + std::string(DateAt(bytes, i)));
        }
        if (order < 0) {
            throw platform::FormatError(path, 0, "日付が新しい順に並んでいません: " +
                                                     std::string(DateAt(bytes, i)));
        }
    }
    return count;
}

// Puts one day into a checked record of `count` used entries; returns the new count. The
// given price replaces a stored price of the same date; a day older than 260 stored days is
// dropped. Entries past the used ones keep their bytes.
int InsertDay(std::string& bytes, int count, std::string_view date, int32_t price) {
    int k = 0;
    while (k < count && DateAt(bytes, k) > date) ++k;
    if (k < count && DateAt(bytes, k) == date) {
        SetPriceAt(bytes, k, price);
        return count;
    }
    if (k >= kHistoryDays) return count;
    int last = count < kHistoryDays ? count : kHistoryDays - 1;  // the entry that receives the shift's end
    std::memmove(bytes.data() + EntryOffset(k + 1), bytes.data() + EntryOffset(k),
                 kEntryBytes * static_cast<size_t>(last - k));
    bytes.replace(EntryOffset(k), kDateBytes, date);
    SetPriceAt(bytes, k, price);
    return count < kHistoryDays ? count + 1 : count;
}

void SetNameBytes(std::string& bytes, std::string_view utf8Name) {
    bytes.replace(0, kNameBytes, platform::FitSjis(platform::Utf8ToSjis(utf8Name), kNameBytes));
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

size_t Utf8Length(std::string_view text) {
    size_t n = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return n;
}

// Fixed-length text of the record read back: decoded, then padded with blanks to `width` characters.
std::string DecodeFixed(std::string_view sjis, size_t width) {
    std::string text = IsAscii(sjis) ? std::string(sjis) : platform::SjisToUtf8(sjis);
    size_t length = Utf8Length(text);
    if (length < width) text.append(width - length, ' ');
    return text;
}

std::string EncodeFixed(std::string_view utf8, size_t width) {
    if (IsAscii(utf8) && utf8.size() == width) return std::string(utf8);
    return platform::FitSjis(IsAscii(utf8) ? std::string(utf8) : platform::Utf8ToSjis(utf8), width);
}

// "yyyy/mm/dd" by shape only: the filing accepts any day 01–31 of a month, as the CSV names do.
bool IsSlashedDate(std::string_view date) {
    if (date.size() != kDateBytes) return false;
    for (size_t i = 0; i < date.size(); ++i) {
        bool slash = i == 4 || i == 7;
        if (slash ? date[i] != '/' : (date[i] < '0' || date[i] > '9')) return false;
    }
    return true;
}

void CheckDayPrice(std::string_view date, int32_t price) {
    if (!IsSlashedDate(date)) throw platform::Error("日付が yyyy/mm/dd の形式ではありません(" + std::string(date) + ")");
    if (price < 0) throw platform::Error("価格が負です(" + std::to_string(price) + ")");
}

// A history file's bytes, or nothing when there is no file. Reads one byte past the record
// size at most: that is enough to refuse a longer file, whatever it holds.
std::optional<std::string> ReadHistoryBytes(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        int err = errno;
        if (err == ENOENT) return std::nullopt;
        throw platform::FileError(path, "ファイルを開けません(" + platform::ErrnoText(err) + ")");
    }
    std::string bytes(kRecordBytes + 1, '\0');
    size_t n = std::fread(bytes.data(), 1, bytes.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw platform::FileError(path, "ファイルを読み込めません");
    if (n > kRecordBytes) {
        std::error_code ec;
        auto size = fs::file_size(path, ec);
        throw WrongSize(path, ec ? std::to_string(n) + "以上" : std::to_string(size));
    }
    bytes.resize(n);
    return bytes;
}

// The checked bytes of a code's file, or an empty record when there is no file.
std::string LoadRecordBytes(const fs::path& path, int& count) {
    std::optional<std::string> bytes = ReadHistoryBytes(path);
    if (!bytes) {
        count = 0;
        return EmptyRecordBytes();
    }
    count = CheckRecordBytes(*bytes, path);
    return std::move(*bytes);
}

std::string SlashedDate(std::string_view yyyymmdd) {
    return std::string(yyyymmdd.substr(0, 4)) + "/" + std::string(yyyymmdd.substr(4, 2)) + "/" +
           std::string(yyyymmdd.substr(6, 2));
}

const std::string kConvertingText = "CSVを銘柄別データへ変換中です(";

// The history records that a filing changes, each read once on first use and written once at
// Commit, so filing many lines (or many files) costs one read and one write per issue. A file
// that cannot be read as a history file is left exactly as it is and reported; the other
// issues are filed all the same.
class IssueFiler {
public:
    // Without skipDamaged a damaged history file stops the filing (FormatError) before any write.
    IssueFiler(fs::path folder, bool skipDamaged) : folder_(std::move(folder)), skipDamaged_(skipDamaged) {}

    // Files each row's close under `date` ("yyyy/mm/dd"); the closes were checked to fit first.
    void FileRows(const std::vector<market::SnapshotRow>& rows, const std::string& date, const platform::Progress& progress) {
        for (const market::SnapshotRow& row : rows) {
            if (progress.Status) progress.Show(kConvertingText + date + ")(" + row.Code.Text() + ")");
            Loaded* record = Load(row.Code);
            if (record) {
                const auto close = static_cast<int32_t>(market::WholeYen(row.Prices.Close));
                record->count = InsertDay(record->bytes, record->count, date, close);
                SetNameBytes(record->bytes, CsvName(row.Name));
            }
            progress.RunPending();
        }
    }

    // Replaces every changed file together: one flush for the lot, each file still atomic.
    void Commit(FilingReport& report) {
        // A damaged file is named once, however many days of a command left it alone.
        for (const SkippedFile& file : skipped_) {
            const auto same = [&file](const SkippedFile& known) { return known.Path == file.Path; };
            if (std::none_of(report.Skipped.begin(), report.Skipped.end(), same)) report.Skipped.push_back(file);
        }
        if (codes_.empty()) return;
        platform::EnsureFolder(folder_);
        platform::FileBatch batch;
        for (const market::IssueCode& code : codes_) batch.Stage(IssueFilePath(folder_, code), records_.at(code)->bytes);
        batch.Commit();
        report.Stored += static_cast<int>(codes_.size());
    }

private:
    struct Loaded {
        std::string bytes;
        int count = 0;
    };

    // The record of a code, or nothing when its file is damaged (reported once).
    Loaded* Load(const market::IssueCode& code) {
        auto [it, fresh] = records_.try_emplace(code);
        if (fresh) {
            const fs::path path = IssueFilePath(folder_, code);
            Loaded loaded;
            try {
                loaded.bytes = LoadRecordBytes(path, loaded.count);
            } catch (const platform::FormatError& e) {
                if (!skipDamaged_) throw;
                return Skip(path, e.Reason());
            } catch (const platform::FileError& e) {
                if (!skipDamaged_) throw;
                return Skip(path, e.Reason());
            }
            it->second = std::move(loaded);
            codes_.push_back(code);
        }
        return it->second ? &*it->second : nullptr;
    }

    Loaded* Skip(const fs::path& path, const std::string& reason) {
        skipped_.push_back({path, reason});
        return nullptr;
    }

    fs::path folder_;
    std::map<market::IssueCode, std::optional<Loaded>> records_;  // empty: the file is skipped
    std::vector<market::IssueCode> codes_;                        // in the order first filed
    std::vector<SkippedFile> skipped_;
    bool skipDamaged_;
};

// Every close as a 32-bit price that is no empty entry, checked before any file is written.
void CheckCloses(const market::DaySnapshot& day, const fs::path& stockFolder) {
    for (const market::SnapshotRow& row : day.Rows) {
        const int64_t close = market::WholeYen(row.Prices.Close);
        if (close < 0 || close > std::numeric_limits<int32_t>::max()) {
            throw platform::FormatError(stockFolder, 0, row.Code.Text() + " の終値が範囲外です(" + std::to_string(close) + ")");
        }
    }
}

// Whether a path can be filed: it exists and its name gives a date (then set in `date`).
FilingResult CheckCsvPath(const fs::path& csvPath, std::string& date) {
    std::error_code ec;
    if (!fs::is_regular_file(csvPath, ec)) return FilingResult::NoFile;
    // The name's date is eight digits whenever it is given at all.
    std::string digits = DateFromCsvFileName(csvPath.generic_string());
    if (digits.empty()) return FilingResult::BadName;
    date = SlashedDate(digits);
    return FilingResult::Filed;
}

// Clears the status line however the filing ends, so an error never leaves "converting" shown.
class StatusClearer {
public:
    explicit StatusClearer(const platform::Progress& progress) : progress_(progress) {}
    ~StatusClearer() { progress_.Show(""); }
    StatusClearer(const StatusClearer&) = delete;
    StatusClearer& operator=(const StatusClearer&) = delete;

private:
    const platform::Progress& progress_;
};

void FileOneCsv(IssueFiler& filer, const fs::path& csvPath, const std::string& date,
                const platform::Progress& progress) {
    progress.Show(kConvertingText + date + ")");
    // Read and check every line before filing any, so a malformed line changes nothing.
    filer.FileRows(ReadDailyCsv(csvPath), date, progress);
}

}  // namespace

int IssueRecord::DayCount() const {
    int n = 0;
    while (n < kHistoryDays && Days[static_cast<size_t>(n)].Price != kEmptyPrice) ++n;
    return n;
}

fs::path IssueFilePath(const fs::path& stockFolder, const market::IssueCode& code) {
    return stockFolder / (code.Text() + ".dat");
}

std::string EncodeIssueRecord(const IssueRecord& record) {
    std::string bytes(kRecordBytes, ' ');
    bytes.replace(0, kNameBytes, EncodeFixed(record.Name, kNameBytes));
    for (int i = 0; i < kHistoryDays; ++i) {
        const DayPrice& day = record.Days[static_cast<size_t>(i)];
        bytes.replace(EntryOffset(i), kDateBytes, EncodeFixed(day.Date, kDateBytes));
        SetPriceAt(bytes, i, day.Price);
    }
    return bytes;
}

IssueRecord DecodeIssueRecord(std::string_view bytes, const fs::path& path) {
    CheckRecordBytes(bytes, path);
    IssueRecord record;
    record.Name = DecodeFixed(bytes.substr(0, kNameBytes), kNameBytes);
    for (int i = 0; i < kHistoryDays; ++i) {
        DayPrice& day = record.Days[static_cast<size_t>(i)];
        day.Date = DecodeFixed(DateAt(bytes, i), kDateBytes);
        day.Price = PriceAt(bytes, i);
    }
    return record;
}

void StoreDayPrice(const fs::path& stockFolder, const market::IssueCode& code, std::string_view name, std::string_view date,
                   int32_t price) {
    CheckDayPrice(date, price);
    platform::EnsureFolder(stockFolder);
    fs::path path = IssueFilePath(stockFolder, code);
    int count = 0;
    // Throws before writing when the file cannot be read or is malformed: the history stays.
    std::string bytes = LoadRecordBytes(path, count);
    InsertDay(bytes, count, date, price);
    SetNameBytes(bytes, name);
    platform::ReplaceFile(path, bytes);
}

std::string ReadIssueName(const fs::path& stockFolder, const market::IssueCode& code) {
    fs::path path = IssueFilePath(stockFolder, code);
    std::optional<std::string> bytes = ReadHistoryBytes(path);
    if (!bytes) return std::string(kUnknownName);
    return DecodeIssueRecord(*bytes, path).Name;
}

IssueRecord ReadIssueRecord(const fs::path& stockFolder, const market::IssueCode& code) {
    fs::path path = IssueFilePath(stockFolder, code);
    std::optional<std::string> bytes = ReadHistoryBytes(path);
    if (bytes) return DecodeIssueRecord(*bytes, path);
    IssueRecord record;
    record.Name = std::string(kUnknownName) + std::string(kNameBytes - kUnknownName.size(), ' ');
    for (DayPrice& day : record.Days) {
        day.Date = std::string(kDateBytes, '\0');
        day.Price = 0;
    }
    return record;
}

std::optional<platform::Date> NewestHistoryDate(const fs::path& stockFolder) {
    std::map<long, int> filesByNewestDay;
    int files = 0;
    std::error_code ec;
    for (fs::directory_iterator it(stockFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (!IsHistoryFileName(path.filename().string())) continue;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) continue;
        std::string head(kNameBytes + kEntryBytes, '\0');
        const size_t n = std::fread(head.data(), 1, head.size(), file);
        std::fclose(file);
        if (n < head.size() || PriceAt(head, 0) == kEmptyPrice) continue;
        if (std::optional<platform::Date> day = platform::ParseSlashed(DateAt(head, 0))) {
            ++filesByNewestDay[platform::DaysFromCivil(*day)];
            ++files;
        }
    }
    // The median: going back from the newest day until half the files are counted.
    int counted = 0;
    for (auto it = filesByNewestDay.rbegin(); it != filesByNewestDay.rend(); ++it) {
        counted += it->second;
        if (2 * counted >= files) return platform::CivilFromDays(it->first);
    }
    return std::nullopt;
}

FilingResult ConvertCsvToIssueFiles(const fs::path& csvPath, const fs::path& stockFolder,
                                    const platform::Progress& progress, FilingReport* report) {
    std::string date;
    FilingResult checked = CheckCsvPath(csvPath, date);
    if (checked != FilingResult::Filed) return checked;
    StatusClearer clearer(progress);
    RemoveStaleHistoryTemporaries(stockFolder);
    IssueFiler filer(stockFolder, report != nullptr);
    FileOneCsv(filer, csvPath, date, progress);
    FilingReport mine;
    filer.Commit(report ? *report : mine);
    return FilingResult::Filed;
}

void FileDay(const market::DaySnapshot& day, const fs::path& stockFolder, const platform::Progress& progress,
             FilingReport* report) {
    CheckCloses(day, stockFolder);
    const std::string date = platform::FormatSlashed(day.Day);
    StatusClearer clearer(progress);
    RemoveStaleHistoryTemporaries(stockFolder);
    IssueFiler filer(stockFolder, report != nullptr);
    progress.Show(kConvertingText + date + ")");
    filer.FileRows(day.Rows, date, progress);
    FilingReport mine;
    filer.Commit(report ? *report : mine);
}

void HistoryStore::Add(const market::DaySnapshot& day, const platform::Progress& progress) {
    FileDay(day, folder_, progress, &report_);
}

BatchFilingResult ConvertCsvFilesToIssueFiles(const std::vector<fs::path>& csvPaths, const fs::path& stockFolder,
                                              const platform::Progress& progress) {
    BatchFilingResult result;
    StatusClearer clearer(progress);
    RemoveStaleHistoryTemporaries(stockFolder);
    IssueFiler filer(stockFolder, true);
    int done = 0;
    for (const fs::path& csvPath : csvPaths) {
        std::string date;
        switch (CheckCsvPath(csvPath, date)) {
            case FilingResult::NoFile:
                result.Missing.push_back(csvPath);
                break;
            case FilingResult::BadName:
                result.BadNames.push_back(csvPath);
                break;
            case FilingResult::Filed:
                FileOneCsv(filer, csvPath, date, progress);
                result.Filed.push_back(csvPath);
                break;
        }
        progress.Step(++done, static_cast<int>(csvPaths.size()));
    }
    filer.Commit(result.Report);
    return result;
}

std::string DescribeSkipped(const SkippedFile& skipped) {
    return skipped.Path.filename().string() + " (" + skipped.Reason + ")";
}

std::string SkippedSummary(const std::vector<SkippedFile>& skipped) {
    constexpr size_t kNamed = 10;
    if (skipped.empty()) return {};
    std::string text = "銘柄別データを更新できませんでした: ";
    for (size_t i = 0; i < skipped.size() && i < kNamed; ++i) text += (i > 0 ? "、" : "") + DescribeSkipped(skipped[i]);
    if (skipped.size() > kNamed) text += " ほか" + std::to_string(skipped.size() - kNamed) + "件";
    return text;
}

void DescribeFilingInRunRecord(bool ok, const FilingReport& report, platform::RunRecord& record) {
    record.Outcome = !ok ? "failed" : report.Skipped.empty() ? "ok" : "skipped";
    record.Stored = report.Stored;
    for (const SkippedFile& file : report.Skipped) record.Skipped.push_back(DescribeSkipped(file));
}

bool IsHistoryFileName(std::string_view name) {
    return name.size() == 8 && name.substr(4) == ".dat" && market::IsIssueCode(name.substr(0, 4));
}

size_t RemoveStaleHistoryTemporaries(const fs::path& stockFolder) {
    return platform::RemoveStaleTemporaries(stockFolder, IsHistoryFileName, std::chrono::seconds(0));
}

}  // namespace mirolanda::quotes
