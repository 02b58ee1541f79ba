// The J-Quants API as a quote source: the whole market of any business day in a few requests
// (the bars page by page, the names from the listed-issue master, cached per day), and the
// exchange's trading calendar. The API key travels in a header only, set for the length of a
// command; requests are paced to the plan's limit by the client the download fetches through.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "jquants/JQuantsSettings.h"
#include "market/QuoteSource.h"
#include "platform/HttpClient.h"
#include "platform/Progress.h"

namespace mirolanda::jquants {

// A request that ended the command; what() is the status text (never holding the key).
class JQuantsFailure : public market::SourceFailure {
public:
    using market::SourceFailure::SourceFailure;
};

// A date the user's plan does not cover, with the plan's first date when the answer names it.
class JQuantsPlanRefusal : public JQuantsFailure {
public:
    JQuantsPlanRefusal(const std::string& text, std::optional<platform::Date> planFirst)
        : JQuantsFailure(text), planFirst_(planFirst) {}
    const std::optional<platform::Date>& PlanFirst() const { return planFirst_; }

private:
    std::optional<platform::Date> planFirst_;
};

// Status texts the user acts on.
inline constexpr const char* kJQuantsBadKeyText = "APIキーが正しくありません";
inline constexpr const char* kJQuantsNoKeyText = "APIキーが設定されていません";
inline constexpr const char* kJQuantsNotYetText = "この日のデータはまだ提供されていません (プランの配信遅延)";

struct JQuantsSettings {
    std::string ApiUrl = kApiUrlDefault;  // slashes at its end are dropped
    std::string ApiKey;  // sent in the x-api-key header only; no status text or error holds it
    int RequestsPerMinute = 5;  // the plan's limit (Free 5, Light 60)
};

class JQuantsSource final : public market::QuoteSource {
public:
    explicit JQuantsSource(JQuantsSettings settings);
    ~JQuantsSource() override;

    const JQuantsSettings& Settings() const { return settings_; }
    std::string_view SettingName() const override { return kSettingName; }
    std::string Address() const override;
    bool ServesPastDays() const override { return true; }
    market::SourcePace Pace() const override;
    // Sets the key header (JQuantsFailure without a key); End clears it, so no later request
    // through the same client (the quote site's) carries it.
    void Begin(market::SourceContext& context) override;
    void End(market::SourceContext& context) noexcept override;
    // From the cache file in the temporary folder when it was fetched on `today`, else fetched
    // (/markets/calendar for the whole year) and cached.
    std::optional<calendar::ExchangeCalendar> TradingCalendar(int year, const platform::Date& today,
                                                              market::SourceContext& context) override;
    // One day's market, rows in code order, an issue the answer repeats taken once. An empty
    // day throws JQuantsFailure(kJQuantsNotYetText).
    void FetchDay(const platform::Date& day, market::SourceContext& context, market::FetchedDay& into) override;

private:
    class Session;
    JQuantsSettings settings_;
    std::unique_ptr<Session> session_;
};

// The registry's entry: "jquants", 「J-Quants API」, made from the settings and the key.
market::SourceEntry Entry();

}  // namespace mirolanda::jquants
