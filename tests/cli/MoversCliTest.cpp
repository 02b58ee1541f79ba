// mirolanda-cli movers: the rankings' TSV byte for byte from a database the test imports, and
// the refusals.
#include <gtest/gtest.h>

#include "platform/SjisText.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

struct MoversCli {
    TempFolder temp;
    fs::path settings = temp / "settings.ini";
    MoversCli() {
        WriteAll(settings, "[Parameters]\nCsvDataFolder=" + (temp / "CsvData").string() + "\n");
        fs::create_directories(temp / "CsvData");
    }
    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settings.string(), "--program-folder", temp.Path().string(), "--now",
                                   "2024-03-08 21:30"});
        return RunCli(args, temp.Path(), {{"HOME", temp.Path().string()}});
    }
    void Csv(const std::string& day, const std::vector<std::string>& lines) {
        WriteAll(temp / "CsvData" / (day + ".csv"), platform::EncodeSjisLines(lines));
    }
};

TEST(MoversCli, PrintsEachRankingAsTsvFromTheDatabase) {
    MoversCli cli;
    EXPECT_EQ(cli.Run({"movers", "gainers"}).Status, 1);
    const auto missing = cli.Run({"movers", "gainers"});
    EXPECT_NE(missing.Err.find("データベースがありません"), std::string::npos) << missing.Err;
    EXPECT_EQ(std::count(missing.Err.begin(), missing.Err.end(), '\n'), 1) << missing.Err;

    cli.Csv("20240304", {"1301,\"極洋\",990,1010,990,1000,1000", "1332,\"ニッスイ\",800,800,800,800,500",
                         "7203,\"トヨタ自動車\",2000,2000,2000,2000,3000"});
    cli.Csv("20240305", {"1301,\"極洋\",1000,1100,1000,1100,2000", "1332,\"ニッスイ\",800,800,780,780,700",
                         "7203,\"トヨタ自動車\",2000,2010,2000,2010,100", "9984,\"ソフトバンクグループ\",5000,5000,5000,5000,10"});
    ASSERT_EQ(cli.Run({"db", "import", (cli.temp / "CsvData").string()}).Status, 0);

    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"gainers"}, "1\t1301\t極洋\t1100\t10.00\t2000\t10.00\n2\t7203\tトヨタ自動車\t2010\t0.50\t100\t0.50\n"},
        {{"losers", "--date", "2024/03/05"}, "1\t1332\tニッスイ\t780\t-2.50\t700\t-2.50\n"},
        {{"volume", "--top", "2"}, "1\t1301\t極洋\t1100\t10.00\t2000\t2000\n2\t1332\tニッスイ\t780\t-2.50\t700\t700\n"},
        {{"turnover", "--top", "9"},
         "1\t1301\t極洋\t1100\t10.00\t2000\t2200000\n2\t1332\tニッスイ\t780\t-2.50\t700\t546000\n"
         "3\t7203\tトヨタ自動車\t2010\t0.50\t100\t201000\n4\t9984\tソフトバンクグループ\t5000\t\t10\t50000\n"},
        {{"surge"}, ""},
        {{"gainers", "--date", "2024/03/04"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"movers"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = cli.Run(args);
        EXPECT_EQ(result.Status, 0) << c.args[0] << result.Err;
        EXPECT_EQ(result.Out, c.out) << c.args[0];
        EXPECT_EQ(result.Err, "") << c.args[0];
    }

    const auto notStored = cli.Run({"movers", "gainers", "--date", "2024/03/06"});
    EXPECT_EQ(notStored.Status, 1);
    EXPECT_EQ(notStored.Err, "mirolanda-cli: 2024/03/06 の株価はデータベースにありません\n");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {}, {"up"}, {"gainers", "--top", "0"}, {"gainers", "--top"}, {"gainers", "--date", "2024-03-05"},
             {"gainers", "extra"}}) {
        std::vector<std::string> args{"movers"};
        args.insert(args.end(), wrong.begin(), wrong.end());
        EXPECT_EQ(cli.Run(args).Status, 2) << (wrong.empty() ? "" : wrong.back());
    }
    const auto help = cli.Run({"movers", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("movers gainers|losers|volume|turnover|surge|highs|lows", 0), 0u) << help.Out;
}

}  // namespace
}  // namespace mirolanda::testing
