// The comma-separated line form of the bonus list files: quoted text fields, bare numbers.
// Reading takes hostile text (a server's answer) without ever failing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::bonus {

// A quoted field as the files write it; a double quote inside becomes the full-width "＂" and a
// control character a blank, so the line always reads back into the same fields.
std::string QuoteField(std::string_view text);

// The text without blanks at either end.
std::string Trim(std::string_view text);

// A whole text of decimal digits (blanks around allowed, an optional leading '-'), as a number
// within [low, high]; nothing for any other text.
std::optional<long> WholeInteger(std::string_view text, long low, long high);

// The text cut to `width` characters (UTF-8, never splitting a character) or padded with
// blanks on the right to exactly that many.
std::string FitChars(std::string_view text, size_t width);

}  // namespace mirolanda::bonus
