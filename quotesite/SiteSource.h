// The quote site as a quote source: every code from 1000 to 9999 in 180 requests of fifty, each
// EUC-JP page converted through Kodemorph and parsed. The site serves the present day only.
#pragma once

#include <string>

#include "market/QuoteSource.h"
#include "quotesite/SiteSettings.h"

namespace mirolanda::quotesite {

// The quote site's request: fifty codes from a block's first.
inline constexpr int kCodesPerRequest = 50;
// «1000～1050»: a block as the status line and the run log name it, by its first code and
// the first code + 50.
std::string BlockRange(int first);

class SiteSource final : public market::QuoteSource {
public:
    // `baseUrl` such as "http://127.0.0.1:8787"; slashes at its end are dropped.
    explicit SiteSource(std::string baseUrl);

    std::string_view SettingName() const override { return kSettingName; }
    std::string Address() const override { return base_; }
    bool ServesPastDays() const override { return false; }
    bool AsksAgainWhenIncomplete() const override { return true; }
    // One pass over all blocks; a failed request (a page cut short counts as one) throws
    // market::SourceFailure with the Internet Error text, the rows before it kept in `into`.
    void FetchDay(const platform::Date& day, market::SourceContext& context, market::FetchedDay& into) override;

private:
    std::string base_;
};

// The registry's entry: "site", 「株価サイト」, made from "QuoteSiteUrl".
market::SourceEntry Entry();

}  // namespace mirolanda::quotesite
