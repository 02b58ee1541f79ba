// Every key of the settings store, declared once: its section, its default and what it holds.
// The window and the command-line tool read and write through this table; the domain code
// receives plain values, never the store.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::platform {

enum class SettingGroup { Geometry, Inet, Folder, Auto, User, Buy, Hosts, Internal };

struct SettingKey {
    std::string_view Section;
    std::string_view Key;
    // The default; for folder keys a suffix appended to the program folder, for "Top" and
    // "Left" empty (the window computes the centred position).
    std::string_view Default;
    SettingGroup Group;
    bool FolderSuffix = false;
};

inline constexpr std::string_view kSectionApplication = "Aplication";
inline constexpr std::string_view kSectionParameters = "Parameters";
inline constexpr std::string_view kSectionUser = "UserInformation";

// The keys in the order their groups save them.
const std::vector<SettingKey>& AllSettingKeys();

// The key's entry; throws std::out_of_range for a key that is not in the table.
const SettingKey& FindSettingKey(std::string_view key);

// The default text of a key, with the program folder applied to folder keys.
std::string DefaultSettingValue(const SettingKey& key, const std::filesystem::path& programFolder);

// A check box's state from a key's stored text: a whole number 0 or 1, spaces around it
// allowed; any other text gives the key's default. The window and the CLI read alike.
bool CheckedSetting(const SettingKey& key, std::string_view text);

// A colour 0x00BBGGRR from a key's stored text: a whole number 0 to 0xFFFFFF, spaces around
// it allowed; any other text gives the key's default.
uint32_t ColorSetting(const SettingKey& key, std::string_view text);

}  // namespace mirolanda::platform
