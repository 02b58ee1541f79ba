// Settings as the window and mirolanda-cli both read them: typed readers that fall back to a
// key's default, the store's round trip through the INI file, and the commands' options.
#include <gtest/gtest.h>

#include <map>

#include "settings/CommandOptions.h"
#include "jquants/JQuantsSource.h"
#include "settings/QuoteSources.h"
#include "settings/Secrets.h"
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

// What QSettings cannot read whole is set aside, and the readable rest kept in a clean file.
// Read and write for the owner, nothing for anyone else: a file that may hold the API key.
constexpr auto kOwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

TEST(SettingsStore, ABrokenFileIsKeptAsideAndWhatCouldBeReadStays) {
    struct Case {
        const char* what;
        std::string text;
        bool broken;
    };
    const std::string good = "[Parameters]\nAutoTime=16:05\n";
    const Case cases[] = {
        {"sound", good + "ProxyServer=a,b\n", false},
        {"section never closed", "[UserInformation\nUserName=x\n" + good, true},
        {"line without =", good + "ProxyServer\n", true},
        {"bytes that are no text", good + "ProxyServer=a\x80\xff\n", true},
        {"quote left open", good + "ProxyServer=\"abc\nAutoMode=0\n", true},
        {"value of another type", good + "ProxyServer=@Variant(\\0\\0\\0\\x7f)\n", true},
        {"random bytes", std::string("\x01\x02\xfe[]=\x00\x07", 9) + "\n" + good, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempFolder temp;
        const auto file = temp / "Mirolanda.ini";
        testing::WriteAll(file, c.text);
        Store store(file, "/prog");
        const auto repair = store.RepairIfBroken({{2026, 12, 7}, 9, 5, 0});
        ASSERT_EQ(repair.has_value(), c.broken);
        EXPECT_EQ(store.Read(keys::AutoTime), "16:05");
        if (!c.broken) {
            EXPECT_EQ(testing::ReadAll(file), c.text);
            continue;
        }
        EXPECT_EQ(repair->KeptAs, temp / "Mirolanda.ini.broken-20261207-090500");
        EXPECT_EQ(testing::ReadAll(repair->KeptAs), c.text);
        EXPECT_EQ(std::filesystem::status(repair->KeptAs).permissions() & std::filesystem::perms::all, kOwnerOnly);
        EXPECT_NE(repair->Message().find(file.string()), std::string::npos);
        EXPECT_FALSE(store.Stored(keys::ProxyServer));
        EXPECT_EQ(store.Read(keys::AutoMode), "1");
        // The clean file reads back whole, and a second look finds nothing to repair.
        Store again(file, "/prog");
        EXPECT_FALSE(again.RepairIfBroken({{2026, 12, 7}, 9, 6, 0}));
        EXPECT_EQ(again.Read(keys::AutoTime), "16:05");
    }
}

TEST(CommandOptions, TheDownloadTakesEverySettingItNeeds) {
    Snapshot s("/prog");
    s.Set({{&keys::ConnectionMode, "2"}, {&keys::ProxyServer, "px"}, {&keys::ProxyPort, "8080"},
           {&keys::QuoteSiteUrl, "http://q/"}, {&keys::AutoDownCheck, "0"}, {&keys::AutoDownNum, "3000件"},
           {&keys::AutoCsvSave, "1"}, {&keys::AutoDataSave, "0"}, {&keys::CsvDataFolder, "/csv"}});
    const quotes::DownloadOptions o = DownloadOptionsFrom(s);
    EXPECT_EQ(o.ConnectionMode, 2);
    EXPECT_EQ(o.Proxy, "px:8080");
    EXPECT_FALSE(o.CompletenessCheck);
    EXPECT_EQ(o.MinimumIssues, 3000);
    EXPECT_TRUE(o.AutoCsvSave);
    EXPECT_FALSE(o.AutoDataSave);
    EXPECT_EQ(o.CsvFolder, "/csv");
    EXPECT_EQ(o.TempFolder, "/prog/Temp");
    EXPECT_EQ(o.StockFolder, "/prog/StockData");
    const auto site = SourceFrom(s, "k");
    EXPECT_EQ(site->SettingName(), "site");
    EXPECT_EQ(site->Address(), "http://q");
    EXPECT_EQ(site->Pace().RequestsPerMinute, 0);
    s.Set(keys::QuoteSource, "an unknown source");
    EXPECT_EQ(SourceFrom(s, "k")->SettingName(), "site") << "the default for a value no source has";

    s.Set({{&keys::QuoteSource, "jquants"}, {&keys::JQuantsApiUrl, "http://127.0.0.1:9/v2/"},
           {&keys::JQuantsRequestsPerMinute, "60"}});
    const auto made = SourceFrom(s, "k");
    const auto* api = dynamic_cast<const jquants::JQuantsSource*>(made.get());
    ASSERT_NE(api, nullptr);
    EXPECT_EQ(api->Address(), "J-Quants http://127.0.0.1:9/v2");
    EXPECT_EQ(api->Pace().RequestsPerMinute, 60);
    EXPECT_EQ(api->Settings().ApiKey, "k");
    s.Set(keys::JQuantsRequestsPerMinute, "0");
    EXPECT_EQ(SourceFrom(s, "k")->Pace().RequestsPerMinute, 5) << "a pace of none is no pace";
}

// A keychain that takes a secret, or none (a desktop without a secret store).
class FakeKeychain final : public Keychain {
public:
    explicit FakeKeychain(bool works) : works_(works) {}
    std::optional<std::string> Read(const std::string& name) override {
        auto found = secrets.find(name);
        return found == secrets.end() ? std::nullopt : std::optional(found->second);
    }
    bool Write(const std::string& name, const std::string& secret) override {
        if (works_) secrets[name] = secret;
        return works_;
    }
    void Remove(const std::string& name) override { secrets.erase(name); }
    std::map<std::string, std::string> secrets;

private:
    bool works_;
};

TEST(Secrets, TheApiKeyGoesToTheSecretStoreWhenThereIsOneAndNeverStaysInTheFileBeside) {
    testing::TempFolder temp;
    const auto file = temp / "Mirolanda.ini";
    Store store(file, "/prog");
    store.Write(keys::JQuantsApiKey, "old-plain-key");  // from a desktop without a store
    auto keychain = std::make_unique<FakeKeychain>(true);
    FakeKeychain& kept = *keychain;
    Secrets secrets(store, std::move(keychain));
    EXPECT_EQ(secrets.ApiKeyPlace(), SecretPlace::SettingsFile);
    EXPECT_EQ(secrets.SetApiKey("new-key"), SecretPlace::Keychain);
    EXPECT_EQ(kept.secrets["JQuantsApiKey"], "new-key");
    EXPECT_EQ(testing::ReadAll(file).find("key"), std::string::npos) << "no copy in the file";
    EXPECT_EQ(secrets.ApiKey(), "new-key");
    EXPECT_EQ(DescribeApiKey(SecretPlace::Keychain).find("new-key"), std::string::npos);

    // No secret store: the file, as the only place there is.
    Secrets plain(store, std::make_unique<FakeKeychain>(false));
    EXPECT_EQ(plain.SetApiKey("file-key"), SecretPlace::SettingsFile);
    EXPECT_EQ(Store(file, "/prog").Read(keys::JQuantsApiKey), "file-key");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all, kOwnerOnly);
    store.Write(keys::AutoTime, "16:10");  // a later write keeps it so
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all, kOwnerOnly);
    // A file an earlier version left readable to all is narrowed when it is opened.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    Store reopened(file, "/prog");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all, kOwnerOnly);
    EXPECT_EQ(plain.SetApiKey(""), SecretPlace::None);
    EXPECT_FALSE(Store(file, "/prog").Stored(keys::JQuantsApiKey));
}

}  // namespace
}  // namespace mirolanda::settings
