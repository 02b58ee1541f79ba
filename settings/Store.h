// The settings file: QSettings in INI form, the user's $XDG_CONFIG_HOME/Mirolanda/Mirolanda.ini
// (organisation and application "Mirolanda") or a file given by the caller. The only place
// that opens a QSettings; the window and mirolanda-cli both read and write through it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "settings/Keys.h"
#include "settings/Snapshot.h"

class QSettings;

namespace mirolanda::settings {

class Store {
public:
    // With no file, the user's own settings file.
    Store(const std::optional<std::filesystem::path>& file, std::filesystem::path programFolder);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The stored text (a value QSettings splits at unquoted commas comes back whole), or
    // nothing when the key is absent.
    std::optional<std::string> Stored(const Key& key) const;
    // The stored text, or the key's default.
    std::string Read(const Key& key) const;
    // Every key as stored, or at its default.
    Snapshot Current() const;
    // "Top" or "Left" in twips; nothing when absent or not a number.
    std::optional<float> ReadPosition(const Key& key) const;

    // Write and flush; throw platform::FileError when the file cannot be written.
    void Write(const Key& key, const std::string& value);
    void WriteGroup(const GroupValues& values);

    std::filesystem::path FilePath() const;
    const std::filesystem::path& ProgramFolder() const { return programFolder_; }

private:
    std::unique_ptr<QSettings> settings_;
    std::filesystem::path programFolder_;
};

// Where the user's own settings file lies ($XDG_CONFIG_HOME/Mirolanda/Mirolanda.ini).
std::filesystem::path UserSettingsFile();

}  // namespace mirolanda::settings
