// Where the holdings code reads the per-issue price history: the history files of a folder,
// or, in tests, records held in memory.
#pragma once

#include <filesystem>
#include <string>

#include "quotes/StockFile.h"

namespace mirolanda::holdings {

inline constexpr std::string_view kUnknownName = "Unknown";

class History {
public:
    virtual ~History() = default;
    // The issue's record; UnknownIssueRecord() when the issue has no history.
    virtual quotes::IssueRecord Record(const market::IssueCode& code) const = 0;
    // The stored name (padded with blanks to 60 characters), or "Unknown".
    virtual std::string Name(const market::IssueCode& code) const = 0;
};

// The history files of one folder. A text that is no issue code never touches the disk: it
// has no file by definition.
class HistoryFolder final : public History {
public:
    explicit HistoryFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    quotes::IssueRecord Record(const market::IssueCode& code) const override;
    std::string Name(const market::IssueCode& code) const override;

private:
    std::filesystem::path folder_;
};

// What an issue without a history file reads as: the name "Unknown" padded to 60
// characters and 260 entries of zeros (dates of NUL characters, closes 0).
quotes::IssueRecord UnknownIssueRecord();

// True when a name, trailing blanks aside, is "Unknown".
bool IsUnknownName(std::string_view name);

// A name without its trailing blanks.
std::string_view TrimTrailingBlanks(std::string_view text);

}  // namespace mirolanda::holdings
