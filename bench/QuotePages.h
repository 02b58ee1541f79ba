// A small stand-alone generator of full-market quote pages as the quote site sends them
// (EUC-JP, the layout the quote-page parser reads), so benchmarks need no server.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mirolanda::bench {

// Codes 1000–9999 asked for in blocks of this many, as the download does.
inline constexpr int kCodesPerPage = 50;
inline constexpr int kPageCount = 180;

struct QuotePages {
    std::vector<std::string> pages;  // EUC-JP bytes; page i covers codes 1000 + 50 i …
    int listed = 0;                  // issue rows over all pages (the rest are no-match rows)
    size_t bytes = 0;                // total size of the pages
};

// One full-market download: 180 pages, about 3,600 listed issues (about 40 % of the codes).
// Names mix kanji, "㈱", half-width katakana, full-width digits and IBM kanji as Microsoft's
// EUC writes them (lead bytes 0xF9–0xFC). The same seed gives the same bytes.
QuotePages MakeQuotePages(unsigned seed = 1);

// Writes the pages as folder/"page000.euc" … "page179.euc" and returns their paths in order.
std::vector<std::filesystem::path> WriteQuotePages(const std::filesystem::path& folder, const QuotePages& pages);

}  // namespace mirolanda::bench
