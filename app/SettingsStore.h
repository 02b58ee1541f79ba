// The settings store: QSettings in INI form (the user's "Mirolanda/Mirolanda.conf", or a
// given file), read and written only through the key table of platform/SettingsKeys.h.
// Values are text; the typed reads fall back to the key's default when the stored text
// cannot be what the control needs.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QSettings;

namespace mirolanda::app {

class SettingsStore {
public:
    // With no file, the per-user store of organisation and application "Mirolanda".
    SettingsStore(const std::optional<std::filesystem::path>& file, std::filesystem::path programFolder);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or nothing when the key is absent.
    std::optional<std::string> Stored(std::string_view key) const;
    // The stored text, or the key's default (folders under the program folder).
    std::string Read(std::string_view key) const;
    // Writes and flushes; throws platform::FileError when the file cannot be written.
    void Write(std::string_view key, const std::string& value);
    // Writes a whole group with one flush.
    void WriteGroup(const std::vector<std::pair<std::string_view, std::string>>& values);

    // A check box's state: "0" or "1"; anything else gives the default.
    bool ReadCheck(std::string_view key) const;
    // A colour 0x00BBGGRR in decimal; a text that is not such a number gives the default.
    uint32_t ReadColor(std::string_view key) const;
    // The connection mode as a 16-bit integer; a text without a number gives the default 0.
    int ReadConnectionMode() const;
    // "Top" or "Left" in twips; nothing when absent or not a number.
    std::optional<float> ReadPosition(std::string_view key) const;

    std::filesystem::path FilePath() const;
    const std::filesystem::path& ProgramFolder() const { return programFolder_; }

private:
    std::unique_ptr<QSettings> settings_;
    std::filesystem::path programFolder_;
};

// The decimal form of a single-precision position ("1920", "1867.5").
std::string FormatPosition(float twips);
// The stored form of a check box's state, as ReadCheck reads it: "1" or "0".
inline std::string FormatCheck(bool checked) { return checked ? "1" : "0"; }

}  // namespace mirolanda::app
