#include "settings/CommandOptions.h"

#include <memory>

#include "calendar/Calender.h"
#include "marketdb/MarketDb.h"
#include "platform/HttpClient.h"
#include "platform/Numbers.h"
#include "platform/TextFields.h"

namespace mirolanda::settings {
namespace {

// A host's base address as the requests join it: without the slashes at its end.
std::string BaseUrl(const Snapshot& s, const Key& key) { return std::string(platform::TrimTrailingSlashes(s.Text(key))); }

}  // namespace

platform::Folders FoldersFrom(const Snapshot& s) {
    using namespace keys;
    return {s.Text(TemporaryFolder), s.Text(CsvDataFolder), s.Text(StockDataFolder), s.Text(OmakeDataFolder),
            s.Text(SettingFolder)};
}

platform::Folders DefaultFolders(const std::filesystem::path& programFolder) {
    return FoldersFrom(Snapshot(programFolder));
}

std::filesystem::path MarketDatabaseFrom(const Snapshot& s) {
    const std::string text = s.Text(keys::MarketDatabase);
    const std::string_view path = platform::TrimBlanks(text);
    if (path.empty()) return s.ProgramFolder() / marketdb::kDefaultFileName;
    return std::filesystem::path(path);
}

Connection ConnectionFrom(const Snapshot& s) {
    return {s.ConnectionMode(), s.Text(keys::ProxyServer) + ":" + s.Text(keys::ProxyPort)};
}

quotes::DownloadOptions DownloadOptionsFrom(const Snapshot& s) {
    const platform::Folders folders = FoldersFrom(s);
    const Connection connection = ConnectionFrom(s);
    quotes::DownloadOptions o;
    o.ConnectionMode = connection.Mode;
    o.Proxy = connection.Proxy;
    o.CompletenessCheck = s.Checked(keys::AutoDownCheck);
    o.MinimumIssues = platform::LeadingNumber(s.Text(keys::AutoDownNum));
    o.AutoCsvSave = s.Checked(keys::AutoCsvSave);
    o.AutoDataSave = s.Checked(keys::AutoDataSave);
    o.TempFolder = folders.Temp;
    o.CsvFolder = folders.CsvData;
    o.StockFolder = folders.StockData;
    return o;
}

void SetMarketCalendar(quotes::DownloadOptions& options, platform::Table holidays, const platform::Clock& clock) {
    auto table = std::make_shared<const platform::Table>(std::move(holidays));
    options.DataDate = [table, &clock] { return calendar::DataDate(*table, clock); };
    options.BuiltinBusinessDay = [table](const platform::Date& day) { return calendar::GetHolidayName(*table, day).empty(); };
    options.Now = [&clock] { return clock.Now(); };
}

holdings::IntradayOptions IntradayOptionsFrom(const Snapshot& s) {
    const platform::Folders folders = FoldersFrom(s);
    const Connection connection = ConnectionFrom(s);
    holdings::IntradayOptions o;
    o.QuoteSiteUrl = BaseUrl(s, keys::QuoteSiteUrl);
    o.ChartSiteUrl = BaseUrl(s, keys::ChartSiteUrl);
    o.ConnectionMode = connection.Mode;
    o.Proxy = connection.Proxy;
    o.TempFolder = folders.Temp;
    o.SettingFolder = folders.Setting;
    o.StockFolder = folders.StockData;
    return o;
}

bonus::PublisherSetup PublisherSetupFrom(const Snapshot& s) {
    const Connection connection = ConnectionFrom(s);
    return {BaseUrl(s, keys::PublisherUrl), connection.Mode, connection.Proxy, s.Text(keys::UserName),
            s.Text(keys::UserSign), FoldersFrom(s).Omake};
}

holdings::BuyAlertSettings AlertsFrom(const Snapshot& s) {
    return {s.Checked(keys::BuyUpChkMode), s.Text(keys::BuyUpNum), s.Color(keys::BuyUpColor),
            s.Checked(keys::BuyDownChkMode), s.Text(keys::BuyDownNum), s.Color(keys::BuyDownColor)};
}

}  // namespace mirolanda::settings
