// The settings file, read and written through QSettings in INI form: the user's own
// ($XDG_CONFIG_HOME/Mirolanda/Mirolanda.conf) or the one named by --settings.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace mirolanda::cli {

class SettingsFile {
public:
    // With no path, the user's settings file.
    explicit SettingsFile(const std::optional<std::filesystem::path>& path);
    ~SettingsFile();

    // The stored text (a value QSettings splits at unquoted commas comes back whole), or
    // nothing when the key is absent.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // Writes and flushes; throws platform::FileError when the file cannot be written.
    void Write(std::string_view section, std::string_view key, const std::string& value);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace mirolanda::cli
