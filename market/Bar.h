// One issue's trading day as every layer shares it: the four prices exact to a tenth of a yen
// (the exchange quotes 0.1-yen ticks for some issues), the volume, and what a source may add
// (turnover, its split adjustment factor). Text forms are made only where a file or screen
// needs them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Date.h"

namespace mirolanda::market {

// A price in tenths of a yen: 2345.5 yen is 23455.
using Tenths = int64_t;

inline constexpr Tenths FromYen(int64_t yen) { return yen * 10; }
// Whole yen, a half going to the even neighbour (2345.5 → 2346, 2344.5 → 2344): the integer
// form the daily CSV and the history files have always kept.
int64_t WholeYen(Tenths price);
// "2345.5", "812", "-3.5": no trailing zeros, never an exponent.
std::string FormatTenths(Tenths price);
// "2345.5", "812" (blanks around allowed, at most one decimal place, or a fraction rounded
// half to even to the tenth) as tenths; nothing for any other text or a value beyond 2^53.
std::optional<Tenths> ParseTenths(std::string_view text);

struct Bar {
    platform::Date Day;
    Tenths Open = 0, High = 0, Low = 0, Close = 0;  // all zero on a day without trade
    int64_t Volume = 0;
    std::optional<int64_t> Turnover;  // yen, where the source gives it
    // The source's split adjustment factor of this day (0.2 on the ex-date of a 1→5 split);
    // 1 when the source gives none.
    double AdjustmentFactor = 1.0;

    // A day without trade carries no price.
    bool Traded() const { return Close > 0; }
    friend bool operator==(const Bar&, const Bar&) = default;
};

}  // namespace mirolanda::market
