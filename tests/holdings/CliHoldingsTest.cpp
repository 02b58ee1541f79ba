// mirolanda-cli holdings over real history files and a real holdings file: the lines it
// prints, the exit status cron sees, and what it reports for a damaged holdings file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/SjisText.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda {
namespace {

using testing::TempFolder;
using testing::WriteAll;

struct CliRun {
    std::string out;
    std::string err;
    int status = -1;
};

class CliHoldingsTest : public ::testing::Test {
protected:
    TempFolder temp;

    void SetUp() override {
        quotes::StoreDayPrice(temp / "StockData", 1301, "極洋", "2001/05/17", 400);
        quotes::StoreDayPrice(temp / "StockData", 1301, "極洋", "2001/05/18", 455);
        quotes::StoreDayPrice(temp / "StockData", 7203, "トヨタ", "2001/05/18", 1000);
        std::filesystem::create_directory(temp / "Setting");
    }

    void Holdings(const std::string& utf8) {
        WriteAll(temp / "Setting" / "売買情報.txt", platform::Utf8ToSjis(utf8));
    }

    CliRun Cli(const std::string& args) {
        std::string command = std::string("'") + MIROLANDA_CLI + "' --settings '" + (temp / "settings.ini").string() +
                              "' --program-folder '" + temp.Path().string() + "' " + args + " 2>'" +
                              (temp / "err.txt").string() + "'";
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = testing::ReadAll(temp / "err.txt");
        return run;
    }
};

TEST_F(CliHoldingsTest, PrintsTheGridAndExits3WhenARowIsMarked) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n"
             "7203,\"トヨタ\",\"2001/05/18\",1000,100\r\n"
             "9999,\"なし\",\"2001/05/18\",500,1\r\n");
    CliRun run = Cli("holdings");
    EXPECT_EQ(run.out,
              "1301\t350\t455\t130.00\tup\n"
              "7203\t1000\t1000\t100.00\t\n"
              "9999\t500\t0\t.00\tdown\n");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "");
}

TEST_F(CliHoldingsTest, ThresholdsComeFromTheSettings) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n");
    ASSERT_EQ(Cli("setting BuyUpNum 131").status, 0);
    CliRun run = Cli("holdings");
    EXPECT_EQ(run.out, "1301\t350\t455\t130.00\t\n");
    EXPECT_EQ(run.status, 0);

    ASSERT_EQ(Cli("setting BuyUpNum 120").status, 0);
    ASSERT_EQ(Cli("setting BuyUpChkMode 0").status, 0);
    EXPECT_EQ(Cli("holdings").status, 0);
}

TEST_F(CliHoldingsTest, AlertSwitchesReadAsTheWindowReadsThem) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350,1000\r\n");
    // A text that is no 0 or 1 gives the default (on); spaces around a 1 or 0 are allowed.
    for (const char* on : {"x", "7", "\" 1 \""}) {
        WriteAll(temp / "settings.ini", std::string("[Parameters]\nBuyUpChkMode=") + on + "\n");
        EXPECT_EQ(Cli("holdings").status, 3) << on;
    }
    WriteAll(temp / "settings.ini", "[Parameters]\nBuyUpChkMode=\" 0\"\n");
    EXPECT_EQ(Cli("holdings").status, 0);
}

TEST_F(CliHoldingsTest, NoHoldingsFilePrintsNothing) {
    CliRun run = Cli("holdings");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Cli("holdings extra").status, 2);
}

TEST_F(CliHoldingsTest, DamagedLinesAreReportedAndSkipped) {
    Holdings("1301,\"極洋\",\"2001/05/17\",350\r\n"
             "7203,\"トヨタ\",\"2001/05/18\",1000,100\r\n");
    CliRun run = Cli("holdings");
    EXPECT_EQ(run.out, "7203\t1000\t1000\t100.00\t\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("売買情報.txt"), std::string::npos);
    EXPECT_NE(run.err.find("1行目"), std::string::npos);
}

}  // namespace
}  // namespace mirolanda
