// mirolanda-cli holdings over real history files and a real holdings file: the lines it
// prints, the exit status cron sees, and what it reports for a damaged holdings file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/SjisText.h"
#include "quotes/StockFile.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace mirolanda {
namespace {

using testing::CliResult;
using testing::TempFolder;
using testing::WriteAll;

class CliHoldingsTest : public ::testing::Test {
protected:
    TempFolder temp;

    void SetUp() override {
        quotes::StoreDayPrice(temp / "StockData", 1301, "極洋", "2001/05/17", 400);
        quotes::StoreDayPrice(temp / "StockData", 1301, "極洋", "2001/05/18", 455);
        quotes::StoreDayPrice(temp / "StockData", 7203, "トヨタ", "2001/05/18", 1000);
        quotes::StoreDayPrice(temp / "StockData", *market::IssueCode::Parse("130A"), "ベリタス", "2001/05/18", 520);
        std::filesystem::create_directory(temp / "Setting");
    }

    void Holdings(const std::string& utf8) {
        WriteAll(temp / "Setting" / "売買情報.txt", platform::Utf8ToSjis(utf8));
    }

    // Runs the CLI on this test's settings and program folder; args are split at blanks.
    CliResult Cli(const std::string& args) {
        std::vector<std::string> argv = {"--settings", (temp / "settings.ini").string(), "--program-folder",
                                         temp.Path().string()};
        std::istringstream words(args);
        for (std::string word; words >> word;) argv.push_back(word);
        return testing::RunCli(argv, temp.Path());
    }
};

TEST_F(CliHoldingsTest, PrintsTheGridAndExits3WhenARowIsMarked) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n"
             "7203,\"トヨタ\",\"2001/05/18\",1000,100\r\n"
             "9999,\"なし\",\"2001/05/18\",500,1\r\n"
             "130A,\"ベリタス\",\"2001/05/18\",500,10\r\n");
    CliResult run = Cli("holdings");
    EXPECT_EQ(run.Out,
              "1301\t350\t455\t130.00\tup\n"
              "7203\t1000\t1000\t100.00\t\n"
              "9999\t500\t0\t.00\tdown\n"
              "130A\t500\t520\t104.00\t\n");
    EXPECT_EQ(run.Status, 3);
    EXPECT_EQ(run.Err, "");
}

TEST_F(CliHoldingsTest, ThresholdsComeFromTheSettings) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n");
    ASSERT_EQ(Cli("setting BuyUpNum 131").Status, 0);
    CliResult run = Cli("holdings");
    EXPECT_EQ(run.Out, "1301\t350\t455\t130.00\t\n");
    EXPECT_EQ(run.Status, 0);

    ASSERT_EQ(Cli("setting BuyUpNum 120").Status, 0);
    ASSERT_EQ(Cli("setting BuyUpChkMode 0").Status, 0);
    EXPECT_EQ(Cli("holdings").Status, 0);
}

TEST_F(CliHoldingsTest, AlertSwitchesReadAsTheWindowReadsThem) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n");
    // A text that is no 0 or 1 gives the default (on); spaces around a 1 or 0 are allowed.
    for (const char* on : {"x", "7", "\" 1 \""}) {
        WriteAll(temp / "settings.ini", std::string("[Parameters]\nBuyUpChkMode=") + on + "\n");
        EXPECT_EQ(Cli("holdings").Status, 3) << on;
    }
    WriteAll(temp / "settings.ini", "[Parameters]\nBuyUpChkMode=\" 0\"\n");
    EXPECT_EQ(Cli("holdings").Status, 0);
}

TEST_F(CliHoldingsTest, NoHoldingsFilePrintsNothing) {
    CliResult run = Cli("holdings");
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(Cli("holdings extra").Status, 2);
}

TEST_F(CliHoldingsTest, DamagedLinesAreReportedAndSkipped) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350\r\n"
             "7203,\"トヨタ\",\"2001/05/18\",1000,100\r\n");
    CliResult run = Cli("holdings");
    EXPECT_EQ(run.Out, "7203\t1000\t1000\t100.00\t\n");
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Err.find("売買情報.txt"), std::string::npos);
    EXPECT_NE(run.Err.find("1行目"), std::string::npos);
}

}  // namespace
}  // namespace mirolanda
