// The settings file: QSettings in INI form, the user's $XDG_CONFIG_HOME/Mirolanda/Mirolanda.ini
// (organisation and application "Mirolanda") or a file given by the caller. The only place
// that opens a QSettings; the window and mirolanda-cli both read and write through it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/Date.h"
#include "settings/Keys.h"
#include "settings/Snapshot.h"

class QSettings;

namespace mirolanda::settings {

// A settings file that could not be read whole, and where the original was kept.
struct BrokenSettings {
    std::filesystem::path File;
    std::filesystem::path KeptAs;  // File + ".broken-YYYYMMDD-HHMMSS"
    // The one message both programs give: the file, that defaults are used for what could not
    // be read, and where the original lies.
    std::string Message() const;
};

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

    // Called once at start, before anything is written: a file with parts QSettings cannot read
    // (a broken line, bytes that are no text, a line left open by a quote, a value of another
    // type) is renamed to "<file>.broken-<now>" and replaced by a clean file holding what could
    // be read, so the rest takes its defaults. Throws platform::FileError when that fails.
    std::optional<BrokenSettings> RepairIfBroken(const platform::DateTime& now);

    // Write and flush; throw platform::FileError when the file cannot be written.
    void Write(const Key& key, const std::string& value);
    void WriteGroup(const GroupValues& values);
    // Removes the key from the file (its default applies again); throws as Write does.
    void Remove(const Key& key);

    std::filesystem::path FilePath() const;
    const std::filesystem::path& ProgramFolder() const { return programFolder_; }

private:
    std::unique_ptr<QSettings> settings_;
    std::filesystem::path programFolder_;
};

// Where the user's own settings file lies ($XDG_CONFIG_HOME/Mirolanda/Mirolanda.ini).
std::filesystem::path UserSettingsFile();

}  // namespace mirolanda::settings
