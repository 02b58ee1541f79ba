// The publisher's requests: query texts, the scrambling, the image download's result and file,
// and the list request and chart creation against the simulator.
#include <gtest/gtest.h>

#include <filesystem>

#include "bonus/Publisher.h"
#include "bonus/Scramble.h"
#include "platform/Date.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "tools/SimPublisher.h"

using namespace mirolanda;
using namespace mirolanda::bonus;
using mirolanda::testing::ReadAll;
using mirolanda::testing::SimProcess;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;
namespace fs = std::filesystem;

namespace {

TEST(PublisherQuery, UserAndSignAreTrimmedAndNothingIsEscaped) {
    EXPECT_EQ(PublisherListQuery(" abc ", "Sign", ModeWord(0)), "USER=abc&SIGN=Sign&REQ=List&MODE=Short");
    EXPECT_EQ(PublisherListQuery("", "", ModeWord(1)), "USER=&SIGN=&REQ=List&MODE=Long");
    EXPECT_EQ(PublisherListQuery("a b", " s ", ModeWord(7)), "USER=a b&SIGN=s&REQ=List&MODE=Long");
    EXPECT_EQ(PublisherImageQuery("u", "s", "Long", "20020517", 12), "USER=u&SIGN=s&REQ=Image&MODE=Long&DATE=20020517&NUM=12");
    EXPECT_EQ(PublisherAddress("http://h:1/", "Q"), "http://h:1/cgi-bin/Mirolanda.cgi?Q");
}

TEST(Scramble, EveryByteIsXoredWithTheKeyAndTwiceRestoresIt) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string bytes = all + all;
    ScrambleBytes(bytes);
    for (size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(static_cast<uint8_t>(bytes[i]), static_cast<uint8_t>(i % 256) ^ 0x6B) << i;
    ScrambleBytes(bytes);
    EXPECT_EQ(bytes, all + all);
    std::string empty;
    ScrambleBytes(empty);
    EXPECT_TRUE(empty.empty());
}

// Answers every request with one scripted result.
class OneAnswer : public platform::Fetcher {
public:
    explicit OneAnswer(platform::FetchResult result) : result_(std::move(result)) {}
    platform::FetchResult Fetch(const std::string& url) override {
        urls.push_back(url);
        return result_;
    }
    std::vector<std::string> urls;

private:
    platform::FetchResult result_;
};

struct Recorder {
    std::vector<std::string> texts;
    platform::Progress Progress() {
        platform::Progress p;
        p.Status = [this](const std::string& t) { texts.push_back(t); };
        return p;
    }
};

TEST(ImageDownload, StoresTheUnscrambledBodyAndReturnsItsLengthLessOne) {
    TempFolder temp;
    std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(1996, '\x6B');
    std::string sent = jpeg;
    ScrambleBytes(sent);
    OneAnswer server({true, sent, "", 200});
    Recorder status;
    PublisherSetup setup{"http://pub", 0, "", "u", "s", temp.Path()};
    ImageFetch fetch = ImageDownload(server, setup, "Long", "20020517", 12, temp / "a.jpg", status.Progress());
    EXPECT_EQ(fetch.Size, 1999);
    EXPECT_TRUE(fetch.Ok && fetch.Jpeg && CountsAsChart(fetch));
    EXPECT_EQ(ReadAll(temp / "a.jpg"), jpeg);
    EXPECT_EQ(server.urls.at(0), "http://pub/cgi-bin/Mirolanda.cgi?USER=u&SIGN=s&REQ=Image&MODE=Long&DATE=20020517&NUM=12");
    EXPECT_EQ(status.texts, (std::vector<std::string>{"インターネット接続", "センター接続中 (2002/05/17-12)",
                                                      "チャート保存中", ""}));
}

TEST(ImageDownload, AFailureLeavesTheFileAndAnErrorStatusBodyIsKeptButNotAChart) {
    TempFolder temp;
    WriteAll(temp / "a.jpg", "old picture");
    platform::FetchResult refused{false, "", "Connection refused", 0};
    refused.CurlCode = 7;  // CURLE_COULDNT_CONNECT
    OneAnswer down(refused);
    Recorder status;
    PublisherSetup setup{"http://pub", 0, "", "u", "s", temp.Path()};
    ImageFetch fetch = ImageDownload(down, setup, "Short", "20020517", 1, temp / "a.jpg", status.Progress());
    EXPECT_EQ(fetch.Size, 0);
    EXPECT_FALSE(fetch.Ok);
    EXPECT_EQ(ReadAll(temp / "a.jpg"), "old picture");
    EXPECT_EQ(status.texts.back(), "Internet Error(接続できません)");

    std::string page = "<html>" + std::string(3000, 'e') + "</html>";
    std::string sent = page;
    ScrambleBytes(sent);
    OneAnswer error({true, sent, "", 500});
    fetch = ImageDownload(error, setup, "Short", "20020517", 1, temp / "a.jpg");
    EXPECT_EQ(ReadAll(temp / "a.jpg"), page);
    EXPECT_EQ(fetch.Size, static_cast<int32_t>(page.size()) - 1);
    EXPECT_FALSE(CountsAsChart(fetch));
    // A date that is not eight digits is never sent.
    fetch = ImageDownload(error, setup, "Short", "2002/05/17", 1, temp / "b.jpg");
    EXPECT_FALSE(fetch.Ok);
    EXPECT_EQ(error.urls.size(), 1u);
}

// Only the user's cancel reads as a cancel: a request that failed on its own stays a failure
// even when the user presses 中止 just after it.
TEST(ListRequest, OnlyACancelledRequestIsReportedAsCancelled) {
    TempFolder temp;
    PublisherSetup setup{"http://pub", 0, "", "u", "s", temp.Path()};
    platform::Table table;
    OneAnswer cancelled(platform::CancelledResult());
    ListOutcome outcome = RequestNewList(cancelled, setup, "Short", table);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_TRUE(outcome.Cancelled);
    platform::FetchResult refused{false, "", "Connection refused", 0};
    refused.CurlCode = 7;  // CURLE_COULDNT_CONNECT
    OneAnswer down(refused);
    outcome = RequestNewList(down, setup, "Short", table);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_FALSE(outcome.Cancelled);
}

class PublisherSim : public ::testing::Test {
protected:
    PublisherSim() : sim_({"--date", "20260520", "--seed", "3"}) {}
    PublisherSetup Setup() const { return {sim_.BaseUrl(), 1, "", " user ", "sign", temp_ / "Omake"}; }
    static std::vector<tools::ChartDate> Served(const char* mode) {
        return tools::PublisherCharts(mode, {2026, 5, 20}, 3);
    }
    SimProcess sim_;
    TempFolder temp_;
};

TEST_F(PublisherSim, ListRequestFillsTheFilesAndTheTable) {
    platform::HttpClient client({.FailOnHttpError = false});
    platform::Table table;
    ListOutcome outcome = RequestNewList(client, Setup(), "Long", table);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    auto served = Served("Long");
    EXPECT_EQ(ReadAll(temp_ / "Omake/Long/List/DownList.txt"), tools::ListAnswer(served));
    ASSERT_EQ(table.RowCount(), static_cast<int>(served.size()));
    for (size_t i = 0; i < served.size(); ++i) {
        EXPECT_EQ(table.Cell(static_cast<int>(i), 0), platform::FormatSlashed(served[i].Day));
        EXPECT_EQ(table.Cell(static_cast<int>(i), 1), served[i].Flag == 1 ? "作成可" : "作成不可");
        EXPECT_EQ(table.Cell(static_cast<int>(i), 2), std::to_string(served[i].Count));
    }
}

TEST_F(PublisherSim, ChartsOfARowAreTheServersJpegsAndAFailedListChangesNothing) {
    platform::HttpClient client({.FailOnHttpError = false});
    platform::Table table;
    ASSERT_TRUE(RequestNewList(client, Setup(), "Short", table).Ok);
    int row = 0;
    while (table.Cell(row, 1) != "作成可") ++row;
    ChartJob job;
    job.OmakeFolder = Setup().OmakeFolder;
    job.Mode = "Short";
    job.Download = [&](const std::string& mode, const std::string& date8, int n, const fs::path& path) {
        return ImageDownload(client, Setup(), mode, date8, n, path);
    };
    const int count = std::stoi(table.Cell(row, 2));
    EXPECT_EQ(CreateCharts(job, table, row, row), count);
    EXPECT_EQ(table.Cell(row, 1), "作成済");
    const std::string date8 = table.Cell(row, 0).substr(0, 4) + table.Cell(row, 0).substr(5, 2) + table.Cell(row, 0).substr(8, 2);
    for (int k = 1; k <= count; ++k) {
        EXPECT_EQ(ReadAll(temp_ / "Omake/Short/Image" / (date8 + "_" + std::to_string(k) + ".jpg")),
                  *tools::ChartJpeg("Short", {2026, 5, 20}, 3, date8, k));
    }
    const std::string before = ReadAll(temp_ / "Omake/Short/List/CurrentList.txt");
    platform::Table untouched = table;
    PublisherSetup refused = Setup();
    refused.PublisherUrl = "http://127.0.0.1:1";  // nothing listens there
    ListOutcome failed = RequestNewList(client, refused, "Short", table);
    EXPECT_FALSE(failed.Ok);
    EXPECT_EQ(failed.Status.rfind("Internet Error(", 0), 0u);
    EXPECT_EQ(ReadAll(temp_ / "Omake/Short/List/CurrentList.txt"), before);
    EXPECT_EQ(table.Rows(), untouched.Rows());
}

}  // namespace
