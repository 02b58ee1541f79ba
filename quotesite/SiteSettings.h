// The quote site source's name and settings: its value of "QuoteSource" and the key of the
// site's base address (shared with the holdings' intraday update).
#pragma once

namespace mirolanda::quotesite {

inline constexpr const char* kSettingName = "site";
inline constexpr const char* kQuoteSiteUrlKey = "QuoteSiteUrl";

}  // namespace mirolanda::quotesite
