#include "quotes/StockFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "platform/Date.h"
#include "platform/SjisText.h"
#include "quotes/CsvFile.h"
#include "support/TempFolder.h"

namespace mirolanda::quotes {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const fs::path kData = MIROLANDA_TEST_DATA;

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}

// "2001/05/17" plus `days` calendar days.
std::string DayText(int days) {
    return platform::FormatSlashed(platform::AddDays(platform::Date{2001, 5, 17}, days));
}

std::vector<std::string> StoredDates(const IssueRecord& record) {
    std::vector<std::string> dates;
    for (int i = 0; i < record.DayCount(); ++i) dates.push_back(record.Days[static_cast<size_t>(i)].Date);
    return dates;
}

// Writes a daily CSV file (Shift_JIS) from UTF-8 lines.
void WriteCsv(const fs::path& path, const std::vector<std::string>& lines) {
    WriteAll(path, platform::EncodeSjisLines(lines));
}

std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename()] = ReadAll(entry.path());
    return files;
}

struct RecordedProgress {
    std::vector<std::string> statuses;
    int pumps = 0;
    platform::Progress Progress() {
        return {[this](const std::string& s) { statuses.push_back(s); }, [this] { ++pumps; }, {}, {}};
    }
};

TEST(StoreDayPrice, FirstDayCreatesTheRecordByteForByte) {
    TempFolder temp;
    auto folder = temp / "StockData";  // missing: created
    StoreDayPrice(folder, 1301, "極洋", "2001/05/17", 350);
    EXPECT_EQ(ReadAll(folder / "1301.dat"), ReadAll(kData / "record_1301_first_day.dat"));
    EXPECT_EQ(IssueFilePath(folder, 1301), folder / "1301.dat");
}

TEST(StoreDayPrice, NewerOlderAndRepeatedDaysLandInDateOrder) {
    TempFolder temp;
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/17", 350);
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/18", 352);  // newer: entry 0, the rest down
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/15", 340);  // older: at its place
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/16", 345);
    auto record = ReadIssueRecord(temp.Path(), 1301);
    EXPECT_EQ(StoredDates(record), (std::vector<std::string>{"2001/05/18", "2001/05/17", "2001/05/16", "2001/05/15"}));
    EXPECT_EQ(record.Days[0].Price, 352);
    EXPECT_EQ(record.Days[3].Price, 340);
    EXPECT_EQ(record.Days[4].Date, Blanks(10));
    EXPECT_EQ(record.Days[4].Price, -1);
}

TEST(StoreDayPrice, PriceJustGivenWinsForADateAlreadyStored) {
    TempFolder temp;
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/17", 350);
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/18", 352);
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/17", 355);  // a later price of the same day
    StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/18", 360);
    auto record = ReadIssueRecord(temp.Path(), 1301);
    ASSERT_EQ(record.DayCount(), 2);
    EXPECT_EQ(record.Days[0].Price, 360);
    EXPECT_EQ(record.Days[1].Price, 355);
}

TEST(StoreDayPrice, KeepsTheNewest260DaysAndAlwaysRefreshesTheName) {
    TempFolder temp;
    IssueRecord record;
    record.Name = "Old";
    for (int d = 0; d < 260; ++d) record.Days[static_cast<size_t>(d)] = {DayText(259 - d), 1259 - d};
    WriteAll(temp / "1301.dat", EncodeIssueRecord(record));
    auto full = ReadIssueRecord(temp.Path(), 1301);
    ASSERT_EQ(full.DayCount(), 260);
    EXPECT_EQ(full.Days[259].Date, DayText(0));

    StoreDayPrice(temp.Path(), 1301, "Older", DayText(-1), 1);  // older than all: days unchanged
    auto same = ReadIssueRecord(temp.Path(), 1301);
    EXPECT_EQ(StoredDates(same), StoredDates(full));
    EXPECT_EQ(same.Name, "Older" + Blanks(55));

    StoreDayPrice(temp.Path(), 1301, "New", DayText(260), 2);  // the 261st day drops the oldest
    auto moved = ReadIssueRecord(temp.Path(), 1301);
    ASSERT_EQ(moved.DayCount(), 260);
    EXPECT_EQ(moved.Days[0].Date, DayText(260));
    EXPECT_EQ(moved.Days[0].Price, 2);
    EXPECT_EQ(moved.Days[259].Date, DayText(1));
    EXPECT_EQ(moved.Days[259].Price, 1001);
    EXPECT_EQ(fs::file_size(temp / "1301.dat"), kRecordBytes);
}

TEST(StoreDayPrice, LongNameIsCutBeforeASplitCharacterAndPadded) {
    TempFolder temp;
    // 59 single bytes, then a two-byte character that would straddle byte 60.
    StoreDayPrice(temp.Path(), 1301, std::string(59, 'A') + "極洋", "2001/05/17", 1);
    EXPECT_EQ(ReadAll(temp / "1301.dat").substr(0, 60), std::string(59, 'A') + " ");
    std::string kanji31;
    for (int i = 0; i < 31; ++i) kanji31 += "株";
    StoreDayPrice(temp.Path(), 1302, kanji31, "2001/05/17", 1);
    std::string bytes = ReadAll(temp / "1302.dat");
    EXPECT_EQ(bytes.substr(0, 60), platform::Utf8ToSjis(kanji31).substr(0, 60));
    EXPECT_EQ(ReadIssueName(temp.Path(), 1302), kanji31.substr(0, 30 * 3) + Blanks(30));
}

TEST(StoreDayPrice, RefusesADateOrPriceThatWouldSpoilTheRecord) {
    TempFolder temp;
    EXPECT_THROW(StoreDayPrice(temp.Path(), 1301, "A", "2001/5/17", 1), platform::Error);
    EXPECT_THROW(StoreDayPrice(temp.Path(), 1301, "A", "", 1), platform::Error);
    EXPECT_THROW(StoreDayPrice(temp.Path(), 1301, "A", "2001/05/17", -1), platform::Error);
    EXPECT_FALSE(fs::exists(temp / "1301.dat"));
}

// Bytes of a record with the given (date, price) entries and the rest empty.
std::string RecordBytes(const std::vector<std::pair<std::string, int32_t>>& days) {
    IssueRecord record;
    record.Name = "Test";
    for (size_t i = 0; i < days.size(); ++i) record.Days[i] = {days[i].first, days[i].second};
    for (size_t i = days.size(); i < record.Days.size(); ++i) record.Days[i] = {Blanks(10), -1};
    return EncodeIssueRecord(record);
}

// History files that are not in the form every reader relies on, with why.
struct Damaged {
    std::string bytes;
    const char* why;
    const char* reason;  // the start of the reason a filing reports
};
std::vector<Damaged> DamagedRecords() {
    std::string good = RecordBytes({{"2001/05/17", 350}, {"2001/05/16", 340}});
    std::string gap = good;
    gap.replace(60 + 14 * 5 + 10, 4, std::string("\x01\x00\x00\x00", 4));  // a price after the first -1
    return {
        {good.substr(0, 3699), "one byte short", "大きさが3700バイトではありません: 3699バイト"},
        {good + "x", "one byte long", "大きさが3700バイトではありません: 3701バイト"},
        {"", "empty", "大きさが3700バイトではありません: 0バイト"},
        {RecordBytes({{"2001/05/16", 340}, {"2001/05/17", 350}}), "oldest first", "日付が新しい順に並んでいません"},
        {RecordBytes({{"2001/05/17", 350}, {"2001/05/17", 340}}), "a date twice", "日付が重複しています"},
        {gap, "entries not contiguous", "6番目の日付が連続していません"},
    };
}

TEST(StoreDayPrice, MalformedHistoryIsRefusedAndLeftUntouched) {
    for (const auto& c : DamagedRecords()) {
        SCOPED_TRACE(c.why);
        TempFolder temp;
        auto path = temp / "1301.dat";
        WriteAll(path, c.bytes);
        try {
            StoreDayPrice(temp.Path(), 1301, "極洋", "2001/05/18", 360);
            ADD_FAILURE() << "no error";
        } catch (const platform::FormatError& e) {
            EXPECT_EQ(e.Path(), path);
        }
        EXPECT_EQ(ReadAll(path), c.bytes);
        EXPECT_THROW(ReadIssueRecord(temp.Path(), 1301), platform::FormatError);
        EXPECT_THROW(ReadIssueName(temp.Path(), 1301), platform::FormatError);
    }
}

TEST(ReadIssueRecord, WithoutAFileGivesUnknownAndZeros) {
    TempFolder temp;
    EXPECT_EQ(ReadIssueName(temp.Path(), 1301), "Unknown");
    auto record = ReadIssueRecord(temp.Path(), 1301);
    EXPECT_EQ(record.Name, "Unknown" + Blanks(53));
    EXPECT_EQ(record.Days[0].Price, 0);
    EXPECT_EQ(record.Days[0].Date, std::string(10, '\0'));
    EXPECT_EQ(record.DayCount(), 260);  // no −1 marker anywhere
}

TEST(IssueRecordBytes, DecodeAndEncodeRoundTripTheGolden) {
    std::string golden = ReadAll(kData / "record_1301_first_day.dat");
    auto record = DecodeIssueRecord(golden, "1301.dat");
    EXPECT_EQ(record.Name, "極洋" + Blanks(58));  // padded to 60 characters
    EXPECT_EQ(record.Days[0].Date, "2001/05/17");
    EXPECT_EQ(record.Days[0].Price, 350);
    EXPECT_EQ(record.DayCount(), 1);
    EXPECT_EQ(EncodeIssueRecord(record), golden);
}

TEST(ConvertCsvToIssueFiles, FilesEachLineUnderTheDateOfTheName) {
    TempFolder temp;
    auto csv = temp / "20010517.csv";  // lower-case extension is accepted
    WriteCsv(csv, {"1301,\"極洋\",350,352,348,351,123000", "1332,\" 日本水産\",1,2,3,350.5,5000000000"});
    RecordedProgress progress;
    EXPECT_EQ(ConvertCsvToIssueFiles(csv, temp / "StockData", progress.Progress()), FilingResult::Filed);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"CSVを銘柄別データへ変換中です(2001/05/17)",
                                                           "CSVを銘柄別データへ変換中です(2001/05/17)(1301)",
                                                           "CSVを銘柄別データへ変換中です(2001/05/17)(1332)", ""}));
    EXPECT_EQ(progress.pumps, 2);
    auto a = ReadIssueRecord(temp / "StockData", 1301);
    EXPECT_EQ(a.Name, "極洋" + Blanks(58));
    EXPECT_EQ(a.Days[0].Date, "2001/05/17");
    EXPECT_EQ(a.Days[0].Price, 351);
    auto b = ReadIssueRecord(temp / "StockData", 1332);
    EXPECT_EQ(b.Name, " 日本水産" + Blanks(55));
    EXPECT_EQ(b.Days[0].Price, 350);  // 350.5 rounds to the even neighbour
}

TEST(ConvertCsvToIssueFiles, FilingTwiceKeepsOneEntryWithTheLaterClose) {
    TempFolder temp;
    auto csv = temp / "20010517.CSV";
    WriteCsv(csv, {"1301,\"極洋\",1,2,3,350,5", "1301,\"極洋(株)\",1,2,3,351.5,5"});
    ConvertCsvToIssueFiles(csv, temp.Path());
    auto record = ReadIssueRecord(temp.Path(), 1301);
    ASSERT_EQ(record.DayCount(), 1);
    EXPECT_EQ(record.Days[0].Price, 352);  // the later line of the same code wins
    EXPECT_EQ(record.Name, "極洋(株)" + Blanks(55));
    WriteCsv(csv, {"1301,\"極洋\",1,2,3,349,5"});
    ConvertCsvToIssueFiles(csv, temp.Path());
    record = ReadIssueRecord(temp.Path(), 1301);
    ASSERT_EQ(record.DayCount(), 1);
    EXPECT_EQ(record.Days[0].Price, 349);
}

TEST(ConvertCsvToIssueFiles, MissingEmptyAndBadlyNamedFiles) {
    TempFolder temp;
    auto stock = temp / "StockData";
    RecordedProgress progress;
    EXPECT_EQ(ConvertCsvToIssueFiles(temp / "20010517.csv", stock, progress.Progress()), FilingResult::NoFile);
    for (const char* name : {"2001-05-17.csv", "result.csv", "2001051x.csv", "20011317.csv", "20010517.txt"}) {
        SCOPED_TRACE(name);
        WriteCsv(temp / name, {"1301,\"極洋\",1,2,3,350,5"});
        EXPECT_EQ(ConvertCsvToIssueFiles(temp / name, stock, progress.Progress()), FilingResult::BadName);
    }
    EXPECT_TRUE(progress.statuses.empty());
    WriteAll(temp / "20010518.csv", "");
    EXPECT_EQ(ConvertCsvToIssueFiles(temp / "20010518.csv", stock, progress.Progress()), FilingResult::Filed);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"CSVを銘柄別データへ変換中です(2001/05/18)", ""}));
    EXPECT_FALSE(fs::exists(stock));  // nothing filed, nothing created
}

TEST(ConvertCsvToIssueFiles, MalformedLineChangesNoHistoryFile) {
    TempFolder temp;
    auto stock = temp / "StockData";
    StoreDayPrice(stock, 1301, "極洋", "2001/05/16", 340);
    auto before = FolderBytes(stock);
    auto csv = temp / "20010517.csv";
    WriteCsv(csv, {"1301,\"極洋\",1,2,3,350,5", "1302,\"B\",1,2,3,350,5", "1303,\"C\",1,2,x,350,5"});
    RecordedProgress progress;
    try {
        ConvertCsvToIssueFiles(csv, stock, progress.Progress());
        ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
        EXPECT_EQ(e.Path(), csv);
        EXPECT_EQ(e.Line(), 3);
    }
    EXPECT_EQ(FolderBytes(stock), before);
    EXPECT_EQ(progress.statuses.back(), "");  // the status is not left showing "converting"
}

TEST(ConvertCsvToIssueFiles, DamagedHistoryFileCostsOneIssueAndIsLeftExactlyAsItWas) {
    for (const auto& c : DamagedRecords()) {
        SCOPED_TRACE(c.why);
        TempFolder temp;
        auto stock = temp / "StockData";
        StoreDayPrice(stock, 1301, "極洋", "2001/05/16", 340);
        WriteAll(stock / "1302.dat", c.bytes);
        WriteCsv(temp / "20010517.csv",
                 {"1301,\"極洋\",1,2,3,350,5", "1302,\"B\",1,2,3,350,5", "1303,\"C\",1,2,3,360,5", "1302,\"B\",1,2,3,351,5"});
        // A caller that asks for no report keeps every file as it was and gets the error.
        const std::string before = ReadAll(stock / "1301.dat");
        EXPECT_THROW(ConvertCsvToIssueFiles(temp / "20010517.csv", stock), platform::FormatError);
        EXPECT_EQ(ReadAll(stock / "1301.dat"), before);
        FilingReport report;
        EXPECT_EQ(ConvertCsvToIssueFiles(temp / "20010517.csv", stock, {}, &report), FilingResult::Filed);
        EXPECT_EQ(ReadAll(stock / "1302.dat"), c.bytes);
        EXPECT_EQ(ReadIssueRecord(stock, 1301).Days[0].Price, 350);
        EXPECT_EQ(ReadIssueRecord(stock, 1303).Days[0].Price, 360);
        EXPECT_EQ(report.Stored, 2);
        ASSERT_EQ(report.Skipped.size(), 1u);  // once, however many lines name it
        EXPECT_EQ(report.Skipped[0].Path, stock / "1302.dat");
        EXPECT_EQ(report.Skipped[0].Reason.rfind(c.reason, 0), 0u) << report.Skipped[0].Reason;
    }
}

TEST(ConvertCsvToIssueFiles, SummaryNamesEachSkippedFileAndWhy) {
    EXPECT_EQ(SkippedSummary({}), "");
    EXPECT_EQ(SkippedSummary({{"/s/1002.dat", "大きさが3700バイトではありません: 12バイト"}, {"/s/1003.dat", "読めません"}}),
              "銘柄別データを更新できませんでした: 1002.dat (大きさが3700バイトではありません: 12バイト)、1003.dat (読めません)");
    std::vector<SkippedFile> many(12, SkippedFile{"/s/1002.dat", "x"});
    EXPECT_NE(SkippedSummary(many).find(" ほか2件"), std::string::npos);
}

TEST(ConvertCsvToIssueFiles, EveryFilingFirstRemovesTheStaleTemporariesOfHistoryFiles) {
    TempFolder temp;
    auto stock = temp / "StockData";
    fs::create_directories(stock);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    // A killed filing's leftovers, a user's own file of the same shape, and a young temporary:
    // a filing runs under the writer lock, so even the young one is no other run's.
    for (const char* name : {".1301.dat.a1B2c3", ".130A.dat.Qw3rTy", ".notes.txt.a1B2c3", ".1302.dat.x9Y8z7"}) {
        WriteAll(stock / name, "x");
        if (std::string_view(name) != ".1302.dat.x9Y8z7") fs::last_write_time(stock / name, old);
    }
    WriteCsv(temp / "20010517.csv", {"1301,\"極洋\",1,2,3,350,5"});
    ASSERT_EQ(ConvertCsvFilesToIssueFiles({temp / "20010517.csv"}, stock).Report.Stored, 1);
    EXPECT_FALSE(fs::exists(stock / ".1301.dat.a1B2c3"));
    EXPECT_FALSE(fs::exists(stock / ".130A.dat.Qw3rTy"));
    EXPECT_TRUE(fs::exists(stock / ".notes.txt.a1B2c3"));
    EXPECT_FALSE(fs::exists(stock / ".1302.dat.x9Y8z7"));
    EXPECT_EQ(ReadIssueRecord(stock, 1301).Days[0].Price, 350);
}

// Daily CSV files whose days overlap, come out of order and run past 260 days, with issues
// that come and go and names that change.
std::vector<fs::path> MixedYear(const fs::path& folder) {
    std::vector<fs::path> paths;
    auto add = [&](int day, int variant) {
        std::string digits = DayText(day);
        digits.erase(std::remove(digits.begin(), digits.end(), '/'), digits.end());
        fs::path sub = folder / std::to_string(paths.size());  // the same day may come twice
        fs::create_directories(sub);
        fs::path path = sub / (digits + ".csv");
        std::vector<std::string> lines;
        for (int code = 1301; code < 1306; ++code) {
            if (code == 1305 && day % 7 == 0) continue;  // an issue missing that day
            std::string name = code == 1303 && day > 150 ? "新社名" : "銘柄" + std::to_string(code);
            lines.push_back(std::to_string(code) + ",\"" + name + "\",1,2,3," + std::to_string(100 + day * 3 + variant) + ",9");
        }
        WriteCsv(path, lines);
        paths.push_back(path);
    };
    for (int day = 0; day < 270; ++day) add(day, 0);
    add(5, 1);    // a day filed again with other closes
    add(-3, 0);   // older than everything
    add(100, 2);  // the middle again
    add(280, 0);
    add(275, 0);  // out of order
    return paths;
}

TEST(ConvertCsvFilesToIssueFiles, ByteIdenticalToFilingOneAtATime) {
    TempFolder temp;
    auto paths = MixedYear(temp / "csv");
    StoreDayPrice(temp / "single", 1304, "既存", "2000/01/04", 7);  // an existing history
    StoreDayPrice(temp / "batch", 1304, "既存", "2000/01/04", 7);
    for (const auto& path : paths) ASSERT_EQ(ConvertCsvToIssueFiles(path, temp / "single"), FilingResult::Filed);
    RecordedProgress progress;
    auto result = ConvertCsvFilesToIssueFiles(paths, temp / "batch", progress.Progress());
    EXPECT_EQ(result.Filed, paths);
    auto single = FolderBytes(temp / "single");
    EXPECT_EQ(single.size(), 5u);
    EXPECT_EQ(FolderBytes(temp / "batch"), single);
    EXPECT_EQ(ReadIssueRecord(temp / "batch", 1304).DayCount(), 260);
    EXPECT_EQ(progress.statuses.back(), "");
}

TEST(ConvertCsvFilesToIssueFiles, ReportsMissingAndBadNamesAndFilesTheRest) {
    TempFolder temp;
    WriteCsv(temp / "20010517.csv", {"1301,\"A\",1,2,3,350,5"});
    WriteCsv(temp / "result.csv", {"1301,\"A\",1,2,3,999,5"});
    WriteCsv(temp / "20010518.csv", {"1301,\"A\",1,2,3,351,5"});
    auto result = ConvertCsvFilesToIssueFiles(
        {temp / "20010517.csv", temp / "result.csv", temp / "none.csv", temp / "20010518.csv"}, temp / "StockData");
    EXPECT_EQ(result.Filed, (std::vector<fs::path>{temp / "20010517.csv", temp / "20010518.csv"}));
    EXPECT_EQ(result.BadNames, std::vector<fs::path>{temp / "result.csv"});
    EXPECT_EQ(result.Missing, std::vector<fs::path>{temp / "none.csv"});
    EXPECT_EQ(StoredDates(ReadIssueRecord(temp / "StockData", 1301)),
              (std::vector<std::string>{"2001/05/18", "2001/05/17"}));
}

TEST(ConvertCsvFilesToIssueFiles, MalformedLaterFileChangesNothing) {
    TempFolder temp;
    StoreDayPrice(temp / "StockData", 1301, "A", "2001/05/16", 340);
    auto before = FolderBytes(temp / "StockData");
    WriteCsv(temp / "20010517.csv", {"1301,\"A\",1,2,3,350,5", "1302,\"B\",1,2,3,350,5"});
    WriteCsv(temp / "20010518.csv", {"1301,\"A\",1,2,3,351,5", "1302,\"B\",1,2,3"});
    try {
        ConvertCsvFilesToIssueFiles({temp / "20010517.csv", temp / "20010518.csv"}, temp / "StockData");
        ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
        EXPECT_EQ(e.Path(), temp / "20010518.csv");
        EXPECT_EQ(e.Line(), 2);
    }
    EXPECT_EQ(FolderBytes(temp / "StockData"), before);
}

// The store seam: a day filed from memory writes the very bytes that the same day filed from its
// daily CSV writes, over history files that already hold days, a damaged one among them.
TEST(FileDay, FromMemoryGivesTheBytesOfTheSameDayFiledFromItsCsv) {
    TempFolder dir;
    market::DaySnapshot day{{2026, 12, 4}, "test", {}};
    const auto row = [&day](market::IssueCode code, std::string name, market::Tenths close) {
        day.Rows.push_back({code, std::move(name), {day.Day, close, close, close, close, 100, {}, 1.0}, "", ""});
    };
    row(1301, "極洋", 3505);                          // 350.5: a half to the even 350
    row(1332, "日本水産 \"ニッスイ\", 株", 3515);       // quotes and a comma inside the name
    row(*market::IssueCode::Parse("130A"), "改行\r\n入り", 100);
    row(2000, std::string(70, 'A'), 12345678);        // a name longer than the record keeps
    row(7203, "トヨタ自動車", 0);                      // no trade
    for (const char* folder : {"memory", "csv"}) {
        StoreDayPrice(dir / folder, 1301, "極洋", "2026/12/03", 349);
        WriteAll(dir / folder / "1332.dat", std::string(12, 'x'));
    }
    FilingReport fromMemory, fromCsv;
    FileDay(day, dir / "memory", {}, &fromMemory);
    ConvertCsvToIssueFiles(SaveDailyCsv(day, dir / "CsvData"), dir / "csv", {}, &fromCsv);
    EXPECT_EQ(fromMemory.Stored, fromCsv.Stored);
    ASSERT_EQ(fromMemory.Skipped.size(), 1u);
    EXPECT_EQ(fromCsv.Skipped.size(), 1u);
    for (const char* name : {"1301.dat", "1332.dat", "130A.dat", "2000.dat", "7203.dat"}) {
        EXPECT_EQ(ReadAll(dir / "memory" / name), ReadAll(dir / "csv" / name)) << name;
    }
    EXPECT_EQ(ReadIssueRecord(dir / "memory", 1301).Days[0].Price, 350);
    EXPECT_EQ(ReadIssueRecord(dir / "memory", 1301).Days[1].Price, 349);
}

}  // namespace
}  // namespace mirolanda::quotes
