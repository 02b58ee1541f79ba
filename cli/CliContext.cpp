#include "cli/CliContext.h"

#include "cli/SettingsFile.h"
#include "platform/SettingsKeys.h"

namespace mirolanda::cli {

std::string CliContext::Setting(std::string_view key) const {
    const auto& entry = platform::FindSettingKey(key);
    if (settings) {
        if (auto value = settings->Read(entry.Section, entry.Key)) return *value;
    }
    return platform::DefaultSettingValue(entry, programFolder);
}

bool CliContext::Checked(std::string_view key) const {
    return platform::CheckedSetting(platform::FindSettingKey(key), Setting(key));
}

void CliContext::SetSetting(std::string_view key, const std::string& value) const {
    const auto& entry = platform::FindSettingKey(key);
    if (settings) settings->Write(entry.Section, entry.Key, value);
}

}  // namespace mirolanda::cli
