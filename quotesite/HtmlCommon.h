// Small text routines of the quote-page parser and the CSV filing: reading lines from a
// page, cutting text between markers, removing tags, reading numbers with digit-group
// commas, and taking the date out of a daily CSV file name. No state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::quotesite {

// An open text file: its lines (UTF-8) and a read position.
class LineReader {
public:
    explicit LineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    bool AtEnd() const { return pos_ >= lines_.size(); }
    // The next line, or "" at the end (never reads past it).
    std::string ReadLine();

private:
    std::vector<std::string> lines_;
    size_t pos_ = 0;
};

// Reads lines until one contains the key without regard to ASCII letter case; returns it,
// or "" when the file ends first (also when the matching line was the last one).
std::string FindLine(LineReader& file, std::string_view key);

// Where `key` first occurs in `text` at or after `from`, or last occurs, comparing ASCII
// letters without regard to case; npos when it does not.
size_t FindNoCase(std::string_view text, std::string_view key, size_t from = 0);
size_t FindLastNoCase(std::string_view text, std::string_view key);

// The text between the first start marker (case-insensitive) and the first end marker after
// it; "" when the text is empty, the start marker is missing, or no end marker follows.
std::string TextBetween(std::string_view text, std::string_view start, std::string_view end);

// The text with every <…> tag removed; entities are not decoded, blanks not trimmed.
std::string StripTags(std::string_view text);

// Digits of the text read as one number, commas skipped; the scan ends at the first other
// character once digits were seen. No digits gives 0. Never wraps: values beyond
// INT64_MAX give INT64_MAX.
int64_t ParseNumber(std::string_view text);


}  // namespace mirolanda::quotesite
