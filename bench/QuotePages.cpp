#include "bench/QuotePages.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "tools/Market.h"
#include "tools/SimQuotePage.h"

namespace mirolanda::bench {
namespace {

const platform::Date kDay{2026, 12, 7};

// The simulator's names keep to what iconv's EUC-JP writes; Microsoft's EUC also writes IBM
// extension kanji in rows 89–92, which the converter maps on a path of its own. Every 50th
// name gains 髙 (0xFCE2) in front and every 50th, 25 names later, 﨑 (0xF9F5) behind.
void AddIbmKanji(std::string& page, int& names) {
    static const std::string open = "<small>", close = "</small>";
    for (size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
        const int n = names++;
        if (n % 50 == 0) page.insert(at + open.size(), "\xFC\xE2");
        if (n % 50 == 25) page.insert(page.find(close, at), "\xF9\xF5");
    }
}

std::vector<std::string> Block(int first) {
    std::vector<std::string> codes;
    for (int code = first; code < first + kCodesPerPage; ++code) codes.push_back(std::to_string(code));
    return codes;
}

}  // namespace

QuotePages MakeQuotePages(unsigned seed) {
    tools::MarketOptions options;
    options.Issues = 3600;
    options.Seed = seed;
    const tools::Market market(options);
    QuotePages result;
    int names = 0;
    for (int i = 0; i < kPageCount; ++i) {
        std::string page = tools::QuotePageEucJp(market, kDay, Block(1000 + i * kCodesPerPage));
        AddIbmKanji(page, names);
        result.bytes += page.size();
        result.pages.push_back(std::move(page));
    }
    result.listed = static_cast<int>(market.Issues().size());
    return result;
}

std::vector<std::filesystem::path> WriteQuotePages(const std::filesystem::path& folder, const QuotePages& pages) {
    std::vector<std::filesystem::path> paths;
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%03zu.euc", i);
        paths.push_back(folder / name);
        std::ofstream out(paths.back(), std::ios::binary | std::ios::trunc);
        out.write(pages.pages[i].data(), static_cast<std::streamsize>(pages.pages[i].size()));
        if (!out) throw std::runtime_error("cannot write " + paths.back().string());
    }
    return paths;
}

}  // namespace mirolanda::bench
