#include "settings/Keys.h"

namespace mirolanda::settings {

std::span<const Key* const> AllKeys() {
    using namespace keys;
    static constexpr const Key* all[] = {
        &Top, &Left, &Width, &Height, &Maximized, &CurrentTab,
        &ConnectionMode, &ProxyServer, &ProxyPort, &QuoteSiteUrl, &ChartSiteUrl, &PublisherUrl,
        &QuoteSource, &JQuantsApiUrl, &JQuantsRequestsPerMinute,
        &TemporaryFolder, &CsvDataFolder, &StockDataFolder, &OmakeDataFolder, &SettingFolder,
        &AutoMode, &AutoTime, &AutoCsvSave, &AutoDataSave, &AutoDownCheck, &AutoDownNum,
        &UserName, &UserSign,
        &BuyUpChkMode, &BuyUpNum, &BuyUpColor, &BuyDownChkMode, &BuyDownNum, &BuyDownColor,
        &ChartUpColor, &ChartDownColor,
        &NotifyMode, &TrayOnClose,
        &LastAutoDownLoad, &LastDownload, &JQuantsApiKey, &MarketDatabase,
    };
    return all;
}

const Key* FindKey(std::string_view name) {
    for (const Key* key : AllKeys()) {
        if (key->Name == name) return key;
    }
    return nullptr;
}

}  // namespace mirolanda::settings
