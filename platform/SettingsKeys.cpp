#include "platform/SettingsKeys.h"

#include <charconv>
#include <optional>
#include <stdexcept>

namespace mirolanda::platform {
namespace {

// A whole decimal number, spaces around allowed; nothing for any other text.
std::optional<long long> WholeInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

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

bool CheckedSetting(const SettingKey& key, std::string_view text) {
    auto value = WholeInteger(text);
    if (!value || (*value != 0 && *value != 1)) value = WholeInteger(key.Default);
    return value.value_or(0) == 1;
}

uint32_t ColorSetting(const SettingKey& key, std::string_view text) {
    auto value = WholeInteger(text);
    if (!value || *value < 0 || *value > 0xFFFFFF) value = WholeInteger(key.Default);
    return static_cast<uint32_t>(value.value_or(0));
}

}  // namespace mirolanda::platform
