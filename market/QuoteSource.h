// The quote-source seam: one interface every source of the day's prices implements (the quote
// site, the J-Quants API, …) and the registry that finds a source by the setting
// "QuoteSource". A source owns its requests, its answer reader, its settings and its pace; the
// download (quotes/DownloadCommand.h) knows none of them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/ExchangeCalendar.h"
#include "market/DaySnapshot.h"
#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/HttpClient.h"
#include "platform/Progress.h"

namespace mirolanda::market {

// A fetch that ends the command. what() is the status text (never holding a secret); Detail()
// the HTTP library's own words, for a tooltip and the log; Cancelled() when the user stopped it.
class SourceFailure : public platform::Error {
public:
    explicit SourceFailure(const std::string& text, std::string detail = {}, bool cancelled = false)
        : platform::Error(text), detail_(std::move(detail)), cancelled_(cancelled) {}
    const std::string& Detail() const { return detail_; }
    bool Cancelled() const { return cancelled_; }

private:
    std::string detail_;
    bool cancelled_;
};

// What a source is given for the length of one command.
struct SourceContext {
    platform::Fetcher& Client;
    std::filesystem::path TempFolder;  // for its caches and temporary files
    int ConnectionMode = 0;            // "ConnectionMode" as stored
    std::string Proxy;                 // server + ":" + port, used by mode 2
    platform::Progress Progress;
    int Pass = 1, MaxPasses = 1;       // the pass under way, for the progress bar
};

// A request for a block of numeric codes and how many issues its answer listed: the download
// names a block that listed fewer than it asked for and than the day before had.
struct CodeBlock {
    int First = 0;
    int Count = 0;
    int Listed = 0;
};

// One day as a source fetched it.
struct FetchedDay {
    DaySnapshot Day;               // rows in code order
    std::vector<CodeBlock> Blocks;  // for sources that ask by code block
};

// A day about to be fetched: no rows yet, its date and the source's name set.
inline FetchedDay EmptyDay(const platform::Date& day, std::string_view source) {
    FetchedDay fetched;
    fetched.Day.Day = day;
    fetched.Day.Source = std::string(source);
    return fetched;
}

// How fast a source may be asked.
struct SourcePace {
    int RequestsPerMinute = 0;     // 0: no limit
    int64_t WaitAfterTooManyMs = 0;  // the least wait after a 429 answer without Retry-After
};

class QuoteSource {
public:
    virtual ~QuoteSource() = default;

    // The value of "QuoteSource" that chooses it.
    virtual std::string_view SettingName() const = 0;
    // How the run log names where the prices came from ("http://…", "J-Quants https://…").
    virtual std::string Address() const = 0;
    // True when any past business day can be fetched; a source that serves only the present
    // day has the days the history files lack named instead.
    virtual bool ServesPastDays() const = 0;
    // True when an incomplete day is worth asking for again (a site that drops pages).
    virtual bool AsksAgainWhenIncomplete() const { return false; }
    virtual SourcePace Pace() const { return {}; }

    // Readies the source for a command (a key header, say) and ends it; End never throws.
    virtual void Begin(SourceContext& context) { (void)context; }
    virtual void End(SourceContext& context) noexcept { (void)context; }

    // The exchange's trading calendar of a year, when the source has one; it then decides the
    // data date where it disagrees with the built-in calendar. Throws SourceFailure.
    virtual std::optional<calendar::ExchangeCalendar> TradingCalendar(int year, const platform::Date& today,
                                                                      SourceContext& context) {
        (void)year, (void)today, (void)context;
        return std::nullopt;
    }

    // The whole market of `day` into `into`, emptied first (EmptyDay) and filled as rows arrive,
    // so a failure leaves what came. Throws SourceFailure; the text of a day not yet served says so.
    virtual void FetchDay(const platform::Date& day, SourceContext& context, FetchedDay& into) = 0;
};

// What a source needs to be made, from the settings of the program.
struct SourceSetup {
    // A setting's text by its key name ("JQuantsApiUrl"), the default when unset.
    std::function<std::string(std::string_view name)> Setting;
    std::string Secret;  // the source's secret (an API key), handed over directly
    std::function<platform::DateTime()> Now;  // the clock, for the source's own calendar
};

// A registered source: its setting value, its name on screen, and how to make it.
struct SourceEntry {
    std::string SettingName;
    std::string DisplayName;  // "株価サイト", "J-Quants API"
    std::function<std::unique_ptr<QuoteSource>(const SourceSetup&)> Make;
};

class SourceRegistry {
public:
    void Register(SourceEntry entry);
    // In the order registered; the first is the default.
    const std::vector<SourceEntry>& Entries() const { return entries_; }
    // The entry of a setting value; the first registered for an unknown or empty value.
    const SourceEntry& Find(std::string_view settingName) const;

private:
    std::vector<SourceEntry> entries_;
};

}  // namespace mirolanda::market
