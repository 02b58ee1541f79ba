// mirolanda-cli chart: a PNG of the asked size from the daily CSV folder, and the refusals.
#include <gtest/gtest.h>

#include "platform/SjisText.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

struct ChartCli {
    TempFolder temp;
    fs::path settings = temp / "settings.ini";
    ChartCli() {
        WriteAll(settings, "[Parameters]\nCsvDataFolder=" + (temp / "CsvData").string() + "\n");
        fs::create_directories(temp / "CsvData");
        // Twenty trading days of 7203 in May 2024.
        int day = 1;
        for (int i = 0; i < 20; ++i, ++day) {
            if (day == 4 || day == 11 || day == 18 || day == 25) day += 2;
            const int close = 2000 + (i % 5) * 10;
            char name[32];
            std::snprintf(name, sizeof name, "202405%02d.csv", day);
            WriteAll(temp / "CsvData" / name,
                     platform::EncodeSjisLines({"1301,\"極洋\",0,0,0,0,0",
                                                "7203,\"トヨタ自動車\",2000,2060,1990," + std::to_string(close) + ",1500"}));
        }
    }
    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settings.string(), "--program-folder", temp.Path().string(), "chart"});
        return RunCli(args, temp.Path(), {{"HOME", temp.Path().string()}});
    }
};

// Width and height from a PNG's header chunk.
std::pair<int, int> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
    auto word = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {word(16), word(20)};
}

TEST(ChartCli, WritesAPngOfTheAskedSizeForEachPeriod) {
    ChartCli cli;
    struct Case {
        std::vector<std::string> options;
        std::pair<int, int> size;
    } cases[] = {
        {{}, {1280, 800}},
        {{"--period", "week", "--size", "640x480"}, {640, 480}},
        {{"--period", "month", "--from", "2024/05/10", "--to", "2024/05/20", "--raw", "--size", "300x200"}, {300, 200}},
    };
    for (const auto& c : cases) {
        const fs::path png = cli.temp / "chart.png";
        fs::remove(png);
        std::vector<std::string> args = {"7203", "--png", png.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = cli.Run(args);
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(PngSize(ReadAll(png)), c.size) << c.options.size();
    }
}

TEST(ChartCli, RefusesWhatItCannotDrawWithoutWritingTheFile) {
    ChartCli cli;
    const fs::path png = cli.temp / "chart.png";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"7203"}, 2, "chart には --png FILE が必要です"},
        {{"72030", "--png", png.string()}, 2, "余分な引数です: 72030"},
        {{"7203", "--png", png.string(), "--size", "10x10"}, 2, "--size には 200x150 から 8000x8000 までの WxH を指定してください"},
        {{"7203", "--png", png.string(), "--from", "2024-05-01"}, 2, "--from には yyyy/mm/dd を指定してください"},
        {{"7203", "--png", png.string(), "--period", "year"}, 2, "--period には day、week、month のどれかを指定してください"},
        {{"9999", "--png", png.string()}, 1, "9999: 表示する株価がありません"},
        {{"1301", "--png", png.string()}, 1, "1301: 表示する株価がありません"},  // never traded
    };
    for (const auto& c : cases) {
        const auto result = cli.Run(c.args);
        EXPECT_EQ(result.Status, c.status) << c.message;
        EXPECT_NE(result.Err.find(c.message), std::string::npos) << result.Err;
        EXPECT_FALSE(fs::exists(png)) << c.message;
    }
}

}  // namespace
}  // namespace mirolanda::testing
