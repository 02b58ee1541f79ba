#include "settings/Snapshot.h"

#include <charconv>
#include <cstdint>

#include "platform/Numbers.h"

namespace mirolanda::settings {

std::string DefaultText(const Key& key, const std::filesystem::path& programFolder) {
    if (key.FolderSuffix) return (programFolder / key.Default).string();
    return std::string(key.Default);
}

std::string Snapshot::Text(const Key& key) const {
    auto found = texts_.find(&key);
    return found != texts_.end() ? found->second : DefaultText(key, programFolder_);
}

void Snapshot::Set(const GroupValues& values) {
    for (const auto& [key, text] : values) Set(*key, text);
}

long Snapshot::Whole(const Key& key, long low, long high) const {
    auto value = platform::WholeInteger(Text(key), low, high);
    if (!value) value = platform::WholeInteger(key.Default, low, high);
    return value.value_or(0);
}

bool Snapshot::Checked(const Key& key) const { return Whole(key, 0, 1) == 1; }

uint32_t Snapshot::Color(const Key& key) const { return static_cast<uint32_t>(Whole(key, 0, 0xFFFFFF)); }

int Snapshot::ConnectionMode() const {
    const long mode = platform::LeadingInteger(Text(keys::ConnectionMode), 0);
    return mode < INT16_MIN || mode > INT16_MAX ? 0 : static_cast<int>(mode);
}

std::string FormatPosition(float twips) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, twips);
    return ec == std::errc() ? std::string(buffer, end) : "0";
}

}  // namespace mirolanda::settings
