// The simulator's synthetic market: which codes are listed, their names and link codes, and
// each issue's prices and volume on any day. Everything follows from the seed and the date,
// so a test can ask this library what the simulator serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Date.h"

namespace mirolanda::tools {

struct MarketOptions {
    int Issues = 3600;   // listed codes, chosen among 1000–9999 (clamped to 0–9000)
    uint64_t Seed = 1;
    // Issues whose codes hold letters ("130A", "131A", …, at most 300), listed since 2024. The
    // J-Quants API serves them; the quote site, asked by numeric code ranges, does not.
    int LetterIssues = 30;
};

struct Issue {
    int Code = 0;        // the numeric code; 0 for a code with letters
    std::string Symbol;  // the code as text: "1301", "130A"
    uint64_t Key = 0;    // what the issue's figures are mixed from: the numeric code, else 10000 + n
    std::string Name;  // UTF-8, exactly as the page's name cell shows it (blanks included)
    std::string Link;  // the code as the site's links write it, e.g. "1301.t"
    int64_t BasePrice = 0;
    int64_t BaseVolume = 0;
};

// One day's figures of one issue, yen and shares. An issue without trades that day shows
// no open, high or low on the page (they read as 0) and a volume of 0.
struct DayQuote {
    int64_t Open = 0;
    int64_t High = 0;
    int64_t Low = 0;
    int64_t Close = 0;
    int64_t Volume = 0;
    bool Traded = true;
};

class Market {
public:
    explicit Market(MarketOptions options = {});

    const MarketOptions& Options() const { return options_; }
    // The listed issues with numeric codes in ascending code order.
    const std::vector<Issue>& Issues() const { return issues_; }
    // The issues whose codes hold letters, in the program's code order.
    const std::vector<Issue>& LetterIssues() const { return letterIssues_; }
    // The issue of a code, or nullptr when the code is not listed.
    const Issue* Find(int code) const;
    DayQuote Quote(const Issue& issue, const platform::Date& day) const;

private:
    int64_t CloseOn(const Issue& issue, long day) const;

    MarketOptions options_;
    Issue MakeIssue(int code, std::string symbol, uint64_t key) const;

    std::vector<Issue> issues_;
    std::vector<Issue> letterIssues_;
    std::vector<int> indexByCode_;  // 10000 entries, −1 for codes not listed
};

// A 64-bit mix of the inputs (splitmix64), the simulator's only source of randomness.
uint64_t Mix(uint64_t a, uint64_t b = 0, uint64_t c = 0, uint64_t d = 0);

// Rounds a price to the exchange's tick size for its level (1, 5, 10, 50, 100 … yen).
int64_t RoundToTick(int64_t price);

}  // namespace mirolanda::tools
