// Shift_JIS (CP932) at the file boundary: conversion to and from UTF-8, and reading and
// writing text files with CR LF line ends. Everything in memory is UTF-8; the field and
// line splitting of those files' text is platform/TextFields.h.
#pragma once

#include <filesystem>
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

// Reads a whole file as bytes. Throws FileError when it cannot be opened or read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Reads a Shift_JIS text file as UTF-8 lines. Throws FileError.
std::vector<std::string> ReadSjisLines(const std::filesystem::path& path);

// Encodes UTF-8 lines as Shift_JIS, each ended by CR LF (the last one too).
std::string EncodeSjisLines(const std::vector<std::string>& lines);

// Replaces the file atomically with the lines as Shift_JIS text with CR LF. Throws FileError.
void WriteSjisLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace mirolanda::platform
