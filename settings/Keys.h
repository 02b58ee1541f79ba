// Every key of the settings file, declared once: its section, its name, its default and the
// group that saves it. Callers name keys by these constants (keys::AutoMode), never by text;
// only the `setting` command of mirolanda-cli looks a key up by the name the user types.
#pragma once

#include <span>
#include <string_view>

#include "jquants/JQuantsSettings.h"
#include "quotesite/SiteSettings.h"

namespace mirolanda::settings {

// The settings groups, each saved whole by its page's save button; Geometry at exit,
// Internal by the automation, or by a page only once the user has changed it.
enum class Group { Geometry, Inet, Folder, Auto, User, Buy, Notify, Internal };

struct Key {
    std::string_view Section;
    std::string_view Name;
    // The default text; for folder keys the sub-folder of the program folder, for "Top" and
    // "Left" empty (the window computes the centred position).
    std::string_view Default;
    Group SavedBy;
    bool FolderSuffix = false;
};

inline constexpr std::string_view kSectionApplication = "Aplication";
inline constexpr std::string_view kSectionParameters = "Parameters";
inline constexpr std::string_view kSectionUser = "UserInformation";

namespace keys {
using G = Group;
// The window's position in twips.
inline constexpr Key Top{kSectionApplication, "Top", "", G::Geometry};
inline constexpr Key Left{kSectionApplication, "Left", "", G::Geometry};
// The window's size in twips (empty: the design size), "1" when it was maximised, and the
// index of the tab shown last.
inline constexpr Key Width{kSectionApplication, "Width", "", G::Geometry};
inline constexpr Key Height{kSectionApplication, "Height", "", G::Geometry};
inline constexpr Key Maximized{kSectionApplication, "Maximized", "0", G::Geometry};
inline constexpr Key CurrentTab{kSectionApplication, "CurrentTab", "0", G::Geometry};
// "0" the system's defaults, "1" direct, "2" through ProxyServer:ProxyPort.
inline constexpr Key ConnectionMode{kSectionParameters, "ConnectionMode", "0", G::Inet};
inline constexpr Key ProxyServer{kSectionParameters, "ProxyServer", "", G::Inet};
inline constexpr Key ProxyPort{kSectionParameters, "ProxyPort", "", G::Inet};
// The hosts of the quote site, its chart images and the publisher's server.
inline constexpr Key QuoteSiteUrl{kSectionParameters, quotesite::kQuoteSiteUrlKey, "http://127.0.0.1:8787", G::Inet};
inline constexpr Key ChartSiteUrl{kSectionParameters, "ChartSiteUrl", "http://127.0.0.1:8787", G::Inet};
inline constexpr Key PublisherUrl{kSectionParameters, "PublisherUrl", "http://127.0.0.1:8787", G::Inet};
// Where the daily prices come from: the setting name of a registered source (settings/QuoteSources.h).
inline constexpr Key QuoteSource{kSectionParameters, "QuoteSource", quotesite::kSettingName, G::Inet};
// The J-Quants API's settings, named and defaulted in its folder; the plan's limit of requests
// a minute (Free 5, Light 60).
inline constexpr Key JQuantsApiUrl{kSectionParameters, jquants::kApiUrlKey, jquants::kApiUrlDefault, G::Inet};
inline constexpr Key JQuantsRequestsPerMinute{kSectionParameters, jquants::kRequestsPerMinuteKey,
                                              jquants::kRequestsPerMinuteDefault, G::Inet};
// The API key when the desktop has no secret store (settings/Secrets.h); written by it alone.
inline constexpr Key JQuantsApiKey{kSectionParameters, jquants::kApiKeyKey, "", G::Internal};
inline constexpr Key TemporaryFolder{kSectionParameters, "TemporaryFolder", "Temp", G::Folder, true};
inline constexpr Key CsvDataFolder{kSectionParameters, "CsvDataFolder", "CsvData", G::Folder, true};
inline constexpr Key StockDataFolder{kSectionParameters, "StockDataFolder", "StockData", G::Folder, true};
inline constexpr Key OmakeDataFolder{kSectionParameters, "OmakeDataFolder", "Omake", G::Folder, true};
inline constexpr Key SettingFolder{kSectionParameters, "SettingFolder", "Setting", G::Folder, true};
inline constexpr Key AutoMode{kSectionParameters, "AutoMode", "1", G::Auto};
inline constexpr Key AutoTime{kSectionParameters, "AutoTime", "21:30", G::Auto};
inline constexpr Key AutoCsvSave{kSectionParameters, "AutoCsvSave", "1", G::Auto};
inline constexpr Key AutoDataSave{kSectionParameters, "AutoDataSave", "1", G::Auto};
inline constexpr Key AutoDownCheck{kSectionParameters, "AutoDownCheck", "1", G::Auto};
inline constexpr Key AutoDownNum{kSectionParameters, "AutoDownNum", "3560", G::Auto};
inline constexpr Key UserName{kSectionUser, "UserName", "UserName", G::User};
inline constexpr Key UserSign{kSectionUser, "UserSign", "Sign", G::User};
inline constexpr Key BuyUpChkMode{kSectionParameters, "BuyUpChkMode", "1", G::Buy};
inline constexpr Key BuyUpNum{kSectionParameters, "BuyUpNum", "130.0", G::Buy};
inline constexpr Key BuyUpColor{kSectionParameters, "BuyUpColor", "65280", G::Buy};
inline constexpr Key BuyDownChkMode{kSectionParameters, "BuyDownChkMode", "1", G::Buy};
inline constexpr Key BuyDownNum{kSectionParameters, "BuyDownNum", "70.0", G::Buy};
inline constexpr Key BuyDownColor{kSectionParameters, "BuyDownColor", "255", G::Buy};
// The candlestick chart's rising (陽線, red) and falling (陰線, blue) candles; chosen on the
// page 売買管理 or with `mirolanda-cli setting`, written only once chosen (a file without them
// keeps the defaults and its bytes).
inline constexpr Key ChartUpColor{kSectionParameters, "ChartUpColor", "224", G::Internal};
inline constexpr Key ChartDownColor{kSectionParameters, "ChartDownColor", "12599296", G::Internal};
// Desktop notifications of downloads and alerts; staying in the tray when the window is closed.
inline constexpr Key NotifyMode{kSectionParameters, "NotifyMode", "1", G::Notify};
inline constexpr Key TrayOnClose{kSectionParameters, "TrayOnClose", "0", G::Notify};
// The data date "yyyymmdd" of the last automatic download that went through.
inline constexpr Key LastAutoDownLoad{kSectionParameters, "LastAutoDownLoad", "", G::Internal};
// The window's last download: "yyyy/mm/dd hh:nn" and the issue count, or "NG" and the failure.
inline constexpr Key LastDownload{kSectionParameters, "LastDownload", "", G::Internal};
// The market history database's file; empty: "Market.sqlite3" in the program folder.
inline constexpr Key MarketDatabase{kSectionParameters, "MarketDatabase", "", G::Internal};
}  // namespace keys

// Every key, in the order its group saves it.
std::span<const Key* const> AllKeys();

// The key of that name, or nullptr.
const Key* FindKey(std::string_view name);

}  // namespace mirolanda::settings
