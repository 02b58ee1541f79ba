// The quote site's quote page: the request for a block of codes, storing and converting a
// response, and parsing its issue rows into the result grid.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Progress.h"
#include "platform/Table.h"
#include "quotesite/HtmlCommon.h"

namespace mirolanda::quotesite {

// Columns of the result grid (7) and of the quote table (8, adds the link code).
inline constexpr int kResultColumns = 7;
inline constexpr int kQuoteColumns = 8;

// "/q?s=1000+1001+…+1049&d=v2" for the codes first … first + count − 1.
std::string QuoteRequestPath(int first, int count);
// Same, for an explicit list of codes (the holdings update).
std::string QuoteRequestPath(const std::vector<int>& codes);

// Parses a Shift_JIS quote page file and appends its rows to a 7- or 8-column grid.
// Throws FileError when the file cannot be read.
void ParseQuoteFile(platform::Table& grid, const std::filesystem::path& path);
// Same, on the page's lines already decoded to UTF-8.
void ParseQuoteLines(platform::Table& grid, LineReader& file);
// Parses one issue row after a row-start line; appends at most one row. A row cut short
// by the end of the page, a code that is not four digits, or a price beyond 32 bits adds
// nothing. In an 8-column grid the link code is kept only when it is letters, digits and
// dots (starting with a letter or digit, at most 32 long), else the cell is "".
void ParseQuoteRow(platform::Table& grid, LineReader& file);

// What is wrong with a quote page as it came from the site: "" for a whole page (or one with
// no issue table at all, such as an error page), "ページが途中で切れています" when the last
// table or issue row it opens is never closed: the answer was cut short.
std::string QuotePageCutShort(std::string_view page);
// "株価ページではありません" for an answer without the quote page's structure, the
// "現在の日時" line followed by a table: a maintenance notice, a captive portal's page,
// random bytes. Parsed, such a page would read as a block without issues. "" for a quote
// page. The raw EUC-JP bytes are searched.
std::string NotAQuotePage(std::string_view page);
// What makes an answer a failed request, to be asked again: NotAQuotePage or QuotePageCutShort;
// "" for a whole quote page.
std::string CheckQuotePage(std::string_view page);

// A link code that can name a chart's file and address: letters, digits and dots, starting
// with a letter or digit, at most 32 long. The parser keeps no other link code.
bool IsSafeLinkCode(std::string_view link);

// Deletes a temporary file, letting events run between attempts while another process
// still holds it; throws FileError naming the file once `limit` has passed. A missing file
// counts as deleted.
void DeleteTempFile(const std::filesystem::path& path, const platform::Progress& progress,
                    std::chrono::milliseconds limit = std::chrono::seconds(10));

// Stores the response as tempFolder/"result.euc", converts it to "result.sjis" through
// Kodemorph, parses it into the grid and deletes both files (retrying a locked deletion
// for about ten seconds, letting events run, then FileError naming the file).
void ImportQuotePage(platform::Table& grid, std::string_view response, const std::filesystem::path& tempFolder,
                     const platform::Progress& progress = {});

}  // namespace mirolanda::quotesite
