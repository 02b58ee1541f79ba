// Settings as the window and mirolanda-cli both read them: typed readers that fall back to a
// key's default, the store's round trip through the INI file, and the commands' options.
#include <gtest/gtest.h>

#include "settings/CommandOptions.h"
#include "settings/Store.h"
#include "support/TempFolder.h"

namespace mirolanda::settings {
namespace {

TEST(SnapshotReaders, CheckAndColourAndModeFallBackToTheDefault) {
    struct Case {
        const char* text;
        bool withOnDefault, withOffDefault;
    };
    const Case cases[] = {
        {"1", true, true},   {"0", false, false},  {" 1 ", true, true},  {"01", true, true},
        {"-0", false, false}, {"", true, false},    {"x", true, false},   {"7", true, false},
        {"-1", true, false},  {"1.0", true, false}, {"+1", true, false},  {"\t1", true, true},
        {"1x", true, false},  {"99999999999999999999", true, false},
    };
    Snapshot s("/p");
    for (const Case& c : cases) {
        s.Set(keys::AutoMode, c.text);          // default "1"
        s.Set(keys::BuyUpChkMode, c.text);      // default "1"
        EXPECT_EQ(s.Checked(keys::AutoMode), c.withOnDefault) << '"' << c.text << '"';
        s.Set(keys::LastAutoDownLoad, c.text);  // default "": off
        EXPECT_EQ(s.Checked(keys::LastAutoDownLoad), c.withOffDefault) << '"' << c.text << '"';
    }
    const std::pair<const char*, uint32_t> colours[] = {
        {"255", 255}, {" 16777215 ", 0xFFFFFF}, {"16777216", 65280}, {"-1", 65280}, {"green", 65280}, {"", 65280}};
    for (const auto& [text, colour] : colours) {
        s.Set(keys::BuyUpColor, text);
        EXPECT_EQ(s.Color(keys::BuyUpColor), colour) << '"' << text << '"';
    }
    const std::pair<const char*, int> modes[] = {{"2", 2}, {"7x", 7}, {"", 0}, {"x", 0}, {"40000", 0}, {"-3", -3}};
    for (const auto& [text, mode] : modes) {
        s.Set(keys::ConnectionMode, text);
        EXPECT_EQ(s.ConnectionMode(), mode) << '"' << text << '"';
    }
}

TEST(SettingsStore, WritesTheSameIniKeysAndReadsDefaultsForTheRest) {
    testing::TempFolder temp;
    const auto file = temp / "Mirolanda.ini";
    {
        Store store(file, "/prog");
        store.WriteGroup({{&keys::ProxyServer, "proxy,a"}, {&keys::AutoTime, "16:00"}});
        store.Write(keys::UserName, "山田");
    }
    const std::string ini = testing::ReadAll(file);
    EXPECT_NE(ini.find("[Parameters]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("AutoTime=16:00"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[UserInformation]"), std::string::npos) << ini;

    Store again(file, "/prog");
    const Snapshot s = again.Current();
    EXPECT_EQ(s.Text(keys::ProxyServer), "proxy,a");
    EXPECT_EQ(s.Text(keys::UserName), "山田");
    EXPECT_EQ(s.Text(keys::StockDataFolder), "/prog/StockData");
    EXPECT_FALSE(again.Stored(keys::StockDataFolder));
    EXPECT_EQ(FindKey("AutoTime"), &keys::AutoTime);
    EXPECT_EQ(FindKey("autotime"), nullptr);
}

TEST(CommandOptions, TheDownloadTakesEverySettingItNeeds) {
    Snapshot s("/prog");
    s.Set({{&keys::ConnectionMode, "2"}, {&keys::ProxyServer, "px"}, {&keys::ProxyPort, "8080"},
           {&keys::QuoteSiteUrl, "http://q/"}, {&keys::AutoDownCheck, "0"}, {&keys::AutoDownNum, "3000件"},
           {&keys::AutoCsvSave, "1"}, {&keys::AutoDataSave, "0"}, {&keys::CsvDataFolder, "/csv"}});
    const quotes::DownloadOptions o = DownloadOptionsFrom(s);
    EXPECT_EQ(o.ConnectionMode, 2);
    EXPECT_EQ(o.Proxy, "px:8080");
    EXPECT_EQ(o.QuoteSiteUrl, "http://q");
    EXPECT_FALSE(o.CompletenessCheck);
    EXPECT_EQ(o.MinimumIssues, 3000);
    EXPECT_TRUE(o.AutoCsvSave);
    EXPECT_FALSE(o.AutoDataSave);
    EXPECT_EQ(o.CsvFolder, "/csv");
    EXPECT_EQ(o.TempFolder, "/prog/Temp");
    EXPECT_EQ(o.StockFolder, "/prog/StockData");
}

}  // namespace
}  // namespace mirolanda::settings
