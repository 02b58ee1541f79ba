// The text form of the program's line files, in memory (UTF-8): blanks and trimming, quoted
// comma-separated fields, line splitting, and fixed-width text fields. No state, no I/O.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::platform {

// A blank is a space or a tab: what the files allow around a field's text.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view text);

// Control characters (below 0x20, and DEL) become blanks, so a text stays on one line.
std::string BlankControls(std::string text);
// Text as a double-quoted field of the line files can hold it: a double quote becomes the
// full-width "＂" (the files have no escape for one) and a control character a blank (it
// would end the line), so the line reads back into the same fields.
std::string QuotableText(std::string_view text);

// Splits one line of the files' comma-separated form into its fields: commas outside double
// quotes separate them, a quoted field loses its quotes, an unquoted one the blanks around it.
// Nothing when a quote is left open or text other than blanks follows a closing quote.
std::optional<std::vector<std::string>> SplitFields(std::string_view line);

// Splits text into lines at CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// A quoted field as the files write it: QuotableText between double quotes.
std::string QuoteField(std::string_view text);

// The text cut to `width` characters (UTF-8, never splitting a character) or padded with
// blanks on the right to exactly that many.
std::string FitChars(std::string_view text, size_t width);

}  // namespace mirolanda::platform
