// One full-market download's quote pages as the quote site sends them (EUC-JP, the layout
// the quote-page parser reads), built from the market simulator's library so benchmarks need
// no server and there is one synthetic market.
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

// One full-market download: 180 pages, 3,600 listed issues (40 % of the codes). Names mix
// kanji, "㈱", half-width katakana and full-width digits as the simulator makes them, and one
// name in 25 carries an IBM extension kanji as Microsoft's EUC writes it (lead bytes
// 0xF9–0xFC). The same seed gives the same bytes.
QuotePages MakeQuotePages(unsigned seed = 1);

// Writes the pages as folder/"page000.euc" … "page179.euc" and returns their paths in order.
std::vector<std::filesystem::path> WriteQuotePages(const std::filesystem::path& folder, const QuotePages& pages);

}  // namespace mirolanda::bench
