// How numbers are read out of texts typed by the user or stored in files: the leading
// number of a text, a whole text as a number, and rounding to integers with a half going
// to the even neighbour. No state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::platform {

// The value of the text's longest numeric prefix (blanks, sign, digits, point, digits),
// 0 when it has none: "350円" gives 350, "abc" 0, " -1.5x" −1.5.
double LeadingNumber(std::string_view text);

// The whole text, blanks around it allowed, read as a decimal number; nothing for any
// other text ("130%", "abc", "").
std::optional<double> WholeNumber(std::string_view text);

// The nearest integer, a half going to the even neighbour (350.5 → 350, 351.5 → 352);
// nothing when the value is not finite or the result lies outside [low, high].
std::optional<int64_t> RoundHalfEven(double value, int64_t low, int64_t high);

// The leading number of a cell rounded to a 32-bit or 16-bit integer; values beyond the
// range are held at its ends, so a cell the user typed always converts.
int32_t CellToInt32(std::string_view text);
int16_t CellToInt16(std::string_view text);

// A whole text of decimal digits (blanks around allowed, an optional leading '-', at most nine
// digits), as a number within [low, high]; nothing for any other text.
std::optional<long> WholeInteger(std::string_view text, long low, long high);

// The leading whole number of a text (blanks, optional sign, digits), as settings such as
// the connection mode are read; `fallback` when the text holds no number. Never overflows.
long LeadingInteger(std::string_view text, long fallback);

// Shortest decimal text of a number, never with an exponent: 350 → "350", 350.5 → "350.5",
// 100000 → "100000".
std::string FormatNumber(double value);

}  // namespace mirolanda::platform
