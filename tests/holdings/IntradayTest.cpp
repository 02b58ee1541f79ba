// The intraday update against the simulator (request blocks and their status texts, the images
// in "Daily", the prices filed, a failure part-way), hostile link codes, and the viewer's
// pairing and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "holdings/Intraday.h"
#include "platform/FetchFailure.h"
#include "quotes/StockFile.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "tools/Encoding.h"
#include "tools/Market.h"

using namespace mirolanda;
using namespace mirolanda::holdings;
using mirolanda::testing::ReadAll;
using mirolanda::testing::SimProcess;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;
namespace fs = std::filesystem;

namespace {

const platform::Date kDay{2026, 5, 20};

std::vector<std::string> Files(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class IntradaySim : public ::testing::Test {
protected:
    explicit IntradaySim(std::vector<std::string> faults = {})
        : market_({3600, 1}), sim_(Args(std::move(faults))) {
        for (const auto& issue : market_.Issues()) {
            if (codes_.size() == 51) break;
            codes_.push_back(std::to_string(issue.Code));
        }
        status_.Status = [this](const std::string& t) { texts_.push_back(t); };
    }
    static std::vector<std::string> Args(std::vector<std::string> faults) {
        std::vector<std::string> args{"--date", "20260520"};
        args.insert(args.end(), faults.begin(), faults.end());
        return args;
    }
    IntradayOptions Options() const {
        IntradayOptions o;
        o.QuoteSiteUrl = sim_.BaseUrl();
        o.ChartSiteUrl = sim_.BaseUrl() + "/";
        o.ConnectionMode = 1;
        o.TempFolder = temp_ / "Temp";
        o.SettingFolder = temp_ / "Setting";
        o.StockFolder = temp_ / "StockData";
        o.DataDate = [] { return std::string("20260520"); };
        return o;
    }
    bool Shown(const std::string& text) const { return std::find(texts_.begin(), texts_.end(), text) != texts_.end(); }

    tools::Market market_;
    SimProcess sim_;
    TempFolder temp_;
    std::vector<std::string> codes_;
    std::vector<std::string> texts_;
    platform::Progress status_;
};

TEST_F(IntradaySim, FiftyOneHoldingsTakeTwoRequestsAndFileEveryImageAndPriceButADamagedOne) {
    platform::HttpClient client;
    platform::Table quotes(3);
    quotes.AddRow({"stale"});
    fs::create_directories(temp_ / "Setting/Daily");
    WriteAll(temp_ / "Setting/Daily/9999.gif", "from the last update");
    const fs::path damaged = quotes::IssueFilePath(temp_ / "StockData", std::stoi(codes_[3]));
    fs::create_directories(temp_ / "StockData");
    WriteAll(damaged, "damaged");
    IntradayOutcome outcome = RunIntradayUpdate(quotes, codes_, client, Options(), status_);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(ReadAll(damaged), "damaged");
    EXPECT_EQ(outcome.Filing.Stored, 50);
    ASSERT_EQ(outcome.Filing.Skipped.size(), 1u);
    EXPECT_EQ(outcome.Status, "銘柄別データを更新できませんでした: " + damaged.filename().string() +
                                  " (大きさが3700バイトではありません: 7バイト)");
    platform::RunRecord logged;
    DescribeInRunRecord(outcome, logged);
    EXPECT_EQ(logged.Outcome, "skipped");
    EXPECT_EQ(logged.Skipped.size(), 1u);
    EXPECT_TRUE(Shown("ＹＡＨＯＯ接続－要求 1～51"));
    EXPECT_TRUE(Shown("ＹＡＨＯＯ接続－要求 51～101"));
    EXPECT_TRUE(Shown("ＹＡＨＯＯ接続 51～101"));
    EXPECT_FALSE(Shown("ＹＡＨＯＯ接続－要求 101～151"));
    EXPECT_EQ(texts_.back(), outcome.Status);
    ASSERT_EQ(quotes.ColumnCount(), 8);
    ASSERT_EQ(quotes.RowCount(), 51);
    EXPECT_EQ(outcome.Images, 51);
    std::vector<std::string> expected;
    for (int r = 0; r < 51; ++r) {
        const tools::Issue& issue = *market_.Find(std::stoi(codes_[r]));
        EXPECT_EQ(quotes.Cell(r, 0), codes_[r]);
        EXPECT_EQ(quotes.Cell(r, 7), issue.Link);
        expected.push_back(issue.Link.substr(0, 4) + ".gif");
        if (r == 3) continue;
        auto record = quotes::ReadIssueRecord(temp_ / "StockData", issue.Code);
        EXPECT_EQ(record.Days[0].Date, "2026/05/20");
        EXPECT_EQ(record.Days[0].Price, market_.Quote(issue, kDay).Close) << issue.Code;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(temp_ / "Setting/Daily"), expected);  // last update's image is gone
    const std::string gif = ReadAll(temp_ / "Setting/Daily" / expected[0]);
    EXPECT_EQ(gif.substr(0, 3), "GIF");
}

class IntradayThirdImageFails : public IntradaySim {
protected:
    // Requests 1 and 2 are the quote pages, 3 and 4 the first two images.
    IntradayThirdImageFails() : IntradaySim({"--fault", "http500@5"}) {}
};

TEST_F(IntradayThirdImageFails, KeepsWhatWasDoneAndReportsTheFailure) {
    platform::HttpClient client;
    platform::Table quotes(8);
    IntradayOutcome outcome = RunIntradayUpdate(quotes, codes_, client, Options(), status_);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Status.rfind("Internet Error(", 0), 0u);
    EXPECT_EQ(texts_.back(), outcome.Status);
    EXPECT_EQ(quotes.RowCount(), 51);
    EXPECT_EQ(Files(temp_ / "Setting/Daily").size(), 2u);
    EXPECT_EQ(quotes::ReadIssueRecord(temp_ / "StockData", std::stoi(codes_[1])).Days[0].Date, "2026/05/20");
    EXPECT_FALSE(fs::exists(quotes::IssueFilePath(temp_ / "StockData", std::stoi(codes_[2]))));
}

// The HTTP client, cancelled by the user when request `at` is under way.
class CancelledAt final : public platform::Fetcher {
public:
    explicit CancelledAt(int at) : at_(at) {}
    platform::FetchResult Fetch(const std::string& url) override {
        if (++count_ >= at_) return {false, "", std::string(platform::kCancelledDescription), 0};
        return inner_.Fetch(url);
    }

private:
    platform::HttpClient inner_;
    int at_;
    int count_ = 0;
};

TEST_F(IntradaySim, ACancelledUpdateLeavesTheImagesAndHistoriesAsTheyWere) {
    fs::create_directories(temp_ / "Setting/Daily");
    WriteAll(temp_ / "Setting/Daily/9999.gif", "from the last update");
    for (int at : {2, 5}) {  // during the quote pages, then during the images
        CancelledAt client(at);
        platform::Table quotes(8);
        IntradayOutcome outcome = RunIntradayUpdate(quotes, codes_, client, Options(), status_);
        EXPECT_FALSE(outcome.Ok);
        EXPECT_TRUE(outcome.Cancelled);
        EXPECT_EQ(outcome.Status, "Internet Error(中止しました)");
        EXPECT_EQ(Files(temp_ / "Setting/Daily"), std::vector<std::string>{"9999.gif"}) << at;
        EXPECT_TRUE(!fs::exists(temp_ / "StockData") || fs::is_empty(temp_ / "StockData")) << at;  // no history written
        EXPECT_TRUE(!fs::exists(temp_ / "Temp") || fs::is_empty(temp_ / "Temp")) << at;
    }
}

// A quote site that lists the asked codes with the link codes it is given.
class HostileSite : public platform::Fetcher {
public:
    std::vector<std::pair<std::string, std::string>> rows;  // code, link
    std::vector<std::string> urls;
    platform::FetchResult Fetch(const std::string& url) override {
        urls.push_back(url);
        if (url.find("/q?s=") == std::string::npos) return {true, "GIF89a", "", 200};
        std::string page = "<html>\n<td>現在の日時 12:00</td>\n<table>\n";
        for (const auto& [code, link] : rows) {
            page += "<tr align=right>\n<td><a href=\"/q?s=" + link + "&d=t\">" + code + "</a></td>\n<td>Issue " + code +
                    "</td>\n<td>15:00</td>\n<td><b>520</b></td>\n<td>+4</td>\n<td>0.3%</td>\n<td>12,000</td>\n"
                    "<td>500</td>\n<td>530</td>\n<td>490</td>\n</tr>\n";
        }
        return {true, tools::Utf8ToEucJp(page + "</table>\n</html>\n"), "", 200};
    }
};

// Options for a fake site: the folders under `root`, a fixed data date.
IntradayOptions FolderOptions(const fs::path& root, const std::string& dataDate) {
    IntradayOptions o;
    o.TempFolder = root / "Temp";
    o.SettingFolder = root / "Setting";
    o.StockFolder = root / "StockData";
    o.DataDate = [dataDate] { return dataDate; };
    return o;
}

TEST(IntradayLinks, LinkCodesThatAreNotLettersDigitsAndDotsNameNoFileAndNoAddress) {
    for (const std::string& bad : std::vector<std::string>{"", "../x", "..", ".t", "a/b", "a\\b", "x y", "%2e%2e", "1301.t?", "-1", std::string(33, 'a')})
        EXPECT_FALSE(IsSafeLinkCode(bad)) << bad;
    for (const char* good : {"1301.t", "1301", "a", "8411.T.x"}) EXPECT_TRUE(IsSafeLinkCode(good)) << good;
    EXPECT_EQ(ChartImageRequestPath("13011.t"), "/chart/1d/1/13011.t.gif");
    EXPECT_EQ(DailyImageName("13011.t"), "1301.gif");

    TempFolder temp;
    HostileSite site;
    site.rows = {{"1301", "../../../../x"}, {"1332", "1332.t"}, {"1333", "..%2f..%2fy"}};
    IntradayOptions o = FolderOptions(temp.Path(), "20260520");
    platform::Table quotes(8);
    std::vector<std::string> texts;
    platform::Progress progress;
    progress.Status = [&](const std::string& t) { texts.push_back(t); };
    IntradayOutcome outcome = RunIntradayUpdate(quotes, {"1301", "1332", "1333"}, site, o, progress);
    ASSERT_TRUE(outcome.Ok);
    EXPECT_EQ(outcome.Images, 1);
    EXPECT_EQ(Files(temp / "Setting/Daily"), (std::vector<std::string>{"1332.gif"}));
    EXPECT_EQ(site.urls.size(), 2u);  // the page and one image
    EXPECT_EQ(Files(temp.Path()), (std::vector<std::string>{"Setting", "StockData", "Temp"}));
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [](const std::string& t) { return t.find("リンクコードが正しくない") != std::string::npos; }),
              texts.end());
    // The price is filed whatever the link said.
    EXPECT_EQ(quotes::ReadIssueRecord(o.StockFolder, 1301).Days[0].Price, 520);
}

TEST(IntradayFiling, ADataDateThatIsNoDateFilesNoPrice) {
    for (const std::string& date : {std::string("20261399"), std::string(" 2026052"), std::string("2026/5/2")}) {
        TempFolder temp;
        HostileSite site;
        site.rows = {{"1332", "1332.t"}};
        IntradayOptions o = FolderOptions(temp.Path(), date);
        platform::Table quotes(8);
        IntradayOutcome outcome = RunIntradayUpdate(quotes, {"1332"}, site, o);
        EXPECT_TRUE(outcome.Ok) << date;
        EXPECT_EQ(outcome.Images, 1) << date;
        EXPECT_FALSE(fs::exists(quotes::IssueFilePath(o.StockFolder, 1332))) << date;
    }
}

TEST(DayViewer, TheLineReadsExactlyAndNumbersHaveNoGroupingOrPoint) {
    EXPECT_EQ(DayInfoLine("520", "500", "1000"), "終値 520円  　買値 500円  (500000円→520000円)");
    EXPECT_EQ(DayInfoLine("520.5", "500円", "1000株"), "終値 520.5円  　買値 500円円  (500000円→520500円)");
    EXPECT_EQ(DayInfoLine("", "abc", ""), "終値 0円  　買値 abc円  (0円→0円)");
    EXPECT_EQ(PlainNumber(12345678901234.0), "12345678901234");
    EXPECT_EQ(PlainNumber(-0.0), "0");
    EXPECT_EQ(PlainNumber(std::numeric_limits<double>::infinity()), "0");
}

TEST(DayViewer, EachHoldingIsPairedWithAQuoteRowOfItsOwnCodeAndADroppedOneSaysSo) {
    platform::Table holdings(5);
    holdings.AddRow({"1301", "A", "2026/01/05", "500", "1000"});
    holdings.AddRow({"1332", "B", "2026/01/06", "300", "100"});
    holdings.AddRow({"1301", "A", "2026/02/05", "450", "200"});
    platform::Table quotes(8);
    // The site dropped 1332 and answered 1301 twice.
    quotes.AddRow({"1301", "A", "", "", "", "520", "", "1301.t"});
    quotes.AddRow({"1301", "A", "", "", "", "520", "", "1301.t"});
    quotes.AddRow({"1999", "Z", "", "", "", "77", "", "../x"});
    const fs::path setting = "/s";
    auto first = DayViewAt(quotes, holdings, setting, 1);
    auto dropped = DayViewAt(quotes, holdings, setting, 2);
    auto third = DayViewAt(quotes, holdings, setting, 3);
    ASSERT_TRUE(first && dropped && third);
    EXPECT_EQ(first->Meigara, "1301  A");
    EXPECT_EQ(first->Image, fs::path("/s/Daily/1301.gif"));
    EXPECT_EQ(first->Info, "終値 520円  　買値 500円  (500000円→520000円)");
    EXPECT_EQ(dropped->Meigara, "1332  B");
    EXPECT_EQ(dropped->Info, "取得できませんでした");
    EXPECT_TRUE(dropped->Image.empty());
    EXPECT_EQ(third->Info, "終値 520円  　買値 450円  (90000円→104000円)");
    EXPECT_FALSE(DayViewAt(quotes, holdings, setting, 0));
    EXPECT_FALSE(DayViewAt(quotes, holdings, setting, 4));
    // Before any update every holding says it was not fetched.
    EXPECT_EQ(DayViewAt(platform::Table(8), holdings, setting, 1)->Info, "取得できませんでした");
}

}  // namespace
