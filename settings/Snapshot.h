// A whole set of settings as texts: what the settings file holds with each absent key at its
// default, and in the window the controls' current values laid over it. The commands' options
// are built from a snapshot, so the window and the command-line tool read settings alike.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/Keys.h"

namespace mirolanda::settings {

// Texts for some keys, in the order a group writes them.
using GroupValues = std::vector<std::pair<const Key*, std::string>>;

class Snapshot {
public:
    explicit Snapshot(std::filesystem::path programFolder) : programFolder_(std::move(programFolder)) {}

    const std::filesystem::path& ProgramFolder() const { return programFolder_; }

    // The key's text: as set, else its default (folder keys under the program folder).
    std::string Text(const Key& key) const;
    void Set(const Key& key, std::string text) { texts_[&key] = std::move(text); }
    void Set(const GroupValues& values);

    // A whole number from `low` to `high`, blanks around allowed; any other text gives the
    // key's default (0 when that too is outside).
    long Whole(const Key& key, long low, long high) const;
    // A check box's state: "0" or "1", blanks around allowed; any other text gives the default.
    bool Checked(const Key& key) const;
    // A colour 0x00BBGGRR in decimal, 0 to 0xFFFFFF; any other text gives the default.
    uint32_t Color(const Key& key) const;
    // "ConnectionMode" read as a 16-bit integer from its leading number; 0 when it has none or
    // it lies beyond 16 bits.
    int ConnectionMode() const;

private:
    std::filesystem::path programFolder_;
    std::map<const Key*, std::string> texts_;  // keys are the constants of Keys.h
};

// The default text of a key, with the program folder applied to folder keys.
std::string DefaultText(const Key& key, const std::filesystem::path& programFolder);

// The stored forms the readers above read back: "1" or "0"; a position's shortest decimal
// text ("1920", "1867.5").
inline std::string FormatCheck(bool checked) { return checked ? "1" : "0"; }
std::string FormatPosition(float twips);

}  // namespace mirolanda::settings
