#include "platform/SettingsKeys.h"

#include <stdexcept>

namespace mirolanda::platform {

const std::vector<SettingKey>& AllSettingKeys() {
    using G = SettingGroup;
    static const std::vector<SettingKey> keys = {
        {kSectionApplication, "Top", "", G::Geometry},
        {kSectionApplication, "Left", "", G::Geometry},
        {kSectionParameters, "ConnectionMode", "0", G::Inet},
        {kSectionParameters, "ProxyServer", "", G::Inet},
        {kSectionParameters, "ProxyPort", "", G::Inet},
        {kSectionParameters, "TemporaryFolder", "Temp", G::Folder, true},
        {kSectionParameters, "CsvDataFolder", "CsvData", G::Folder, true},
        {kSectionParameters, "StockDataFolder", "StockData", G::Folder, true},
        {kSectionParameters, "OmakeDataFolder", "Omake", G::Folder, true},
        {kSectionParameters, "SettingFolder", "Setting", G::Folder, true},
        {kSectionParameters, "AutoMode", "1", G::Auto},
        {kSectionParameters, "AutoTime", "21:30", G::Auto},
        {kSectionParameters, "AutoCsvSave", "1", G::Auto},
        {kSectionParameters, "AutoDataSave", "1", G::Auto},
        {kSectionParameters, "AutoDownCheck", "1", G::Auto},
        {kSectionParameters, "AutoDownNum", "3560", G::Auto},
        {kSectionUser, "UserName", "UserName", G::User},
        {kSectionUser, "UserSign", "Sign", G::User},
        {kSectionParameters, "BuyUpChkMode", "1", G::Buy},
        {kSectionParameters, "BuyUpNum", "130.0", G::Buy},
        {kSectionParameters, "BuyUpColor", "65280", G::Buy},
        {kSectionParameters, "BuyDownChkMode", "1", G::Buy},
        {kSectionParameters, "BuyDownNum", "70.0", G::Buy},
        {kSectionParameters, "BuyDownColor", "255", G::Buy},
        // The hosts of the quote site, its chart images and the publisher's server.
        {kSectionParameters, "QuoteSiteUrl", "http://127.0.0.1:8787", G::Hosts},
        {kSectionParameters, "ChartSiteUrl", "http://127.0.0.1:8787", G::Hosts},
        {kSectionParameters, "PublisherUrl", "http://127.0.0.1:8787", G::Hosts},
        {kSectionParameters, "LastAutoDownLoad", "", G::Internal},
    };
    return keys;
}

const SettingKey& FindSettingKey(std::string_view key) {
    for (const auto& k : AllSettingKeys()) {
        if (k.Key == key) return k;
    }
    throw std::out_of_range("unknown setting key: " + std::string(key));
}

std::string DefaultSettingValue(const SettingKey& key, const std::filesystem::path& programFolder) {
    if (key.FolderSuffix) return (programFolder / key.Default).string();
    return std::string(key.Default);
}

}  // namespace mirolanda::platform
