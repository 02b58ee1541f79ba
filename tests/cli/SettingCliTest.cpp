// mirolanda-cli setting: reading and writing the settings file as the window does.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

CliResult Setting(const TempFolder& temp, const fs::path& settings, std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settings.string(), "setting"});
    return RunCli(args, temp.Path(), {{"HOME", temp.Path().string()}});
}

TEST(SettingCli, WrittenValueReadsBackAndACommaSplitByHandComesBackWhole) {
    TempFolder temp;
    const fs::path settings = temp / "settings.ini";
    ASSERT_EQ(Setting(temp, settings, {"ProxyServer", "proxy,a.example"}).Status, 0);
    EXPECT_EQ(Setting(temp, settings, {"ProxyServer"}).Out, "proxy,a.example\n");

    // Typed by hand without quotes, QSettings reads a list; the text is still the value.
    WriteAll(settings, "[Parameters]\nStockDataFolder=/data/stock,2\nProxyServer=a, b\n");
    EXPECT_EQ(Setting(temp, settings, {"StockDataFolder"}).Out, "/data/stock,2\n");
    EXPECT_EQ(Setting(temp, settings, {"ProxyServer"}).Out, "a,b\n");
}

TEST(SettingCli, UnwritableFileFailsInsteadOfReportingSuccess) {
    TempFolder temp;
    WriteAll(temp / "file", "not a folder");
    const fs::path settings = temp / "file" / "settings.ini";
    CliResult result = Setting(temp, settings, {"ProxyServer", "proxy"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("設定ファイルに書き込めません"), std::string::npos) << result.Err;
}

}  // namespace
}  // namespace mirolanda::testing
