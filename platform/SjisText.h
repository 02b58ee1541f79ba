// Shift_JIS (CP932) at the file boundary: conversion to and from UTF-8, and reading and
// writing text files with CR LF line ends. Everything in memory is UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::platform {

// Never fails: a byte sequence with no UTF-8 form becomes one 〓 and the conversion goes on.
std::string SjisToUtf8(std::string_view sjis);
// Never fails: a character with no CP932 form becomes 〓 (0x81 0xAC).
std::string Utf8ToSjis(std::string_view utf8);

// True when byte b starts a two-byte CP932 character.
bool IsSjisLeadByte(unsigned char b);

// Cuts Shift_JIS text to at most `width` bytes without splitting a two-byte character,
// then pads it with blanks to exactly `width` bytes.
std::string FitSjis(std::string_view sjis, size_t width);

// A blank is a space or a tab: what the files allow around a field's text.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view text);

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

// Reads a whole file as bytes. Throws FileError when it cannot be opened or read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Reads a Shift_JIS text file as UTF-8 lines. Throws FileError.
std::vector<std::string> ReadSjisLines(const std::filesystem::path& path);

// Encodes UTF-8 lines as Shift_JIS, each ended by CR LF (the last one too).
std::string EncodeSjisLines(const std::vector<std::string>& lines);

// Replaces the file atomically with the lines as Shift_JIS text with CR LF. Throws FileError.
void WriteSjisLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace mirolanda::platform
