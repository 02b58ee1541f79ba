// The daily download from the J-Quants API: the whole market of a day in a few requests (the
// bars page by page, the names from the listed-issue master, cached per day), into the same
// result grid, daily CSV and history files as the quote site's download. Also the catch-up of
// missed business days and the exchange's trading calendar. Requests go through the given
// fetcher, which paces them (platform/PacedFetcher.h); the API key travels in a header only.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/HttpClient.h"
#include "platform/PacedFetcher.h"
#include "platform/Progress.h"
#include "platform/Table.h"
#include "quotes/DownloadCommon.h"
#include "quotes/ExchangeCalendar.h"

namespace mirolanda::quotes {

// A request that ended the command; what() is the status text (never holding the key).
class JQuantsFailure : public platform::Error {
public:
    // The status text; for a failed request also the HTTP library's own text (never the key)
    // and whether it was a cancel.
    explicit JQuantsFailure(const std::string& text, std::string detail = {}, bool cancelled = false)
        : platform::Error(text), detail_(std::move(detail)), cancelled_(cancelled) {}
    const std::string& Detail() const { return detail_; }
    bool Cancelled() const { return cancelled_; }

private:
    std::string detail_;
    bool cancelled_;
};

// Status texts the user acts on.
inline constexpr const char* kJQuantsBadKeyText = "APIキーが正しくありません";
inline constexpr const char* kJQuantsNoKeyText = "APIキーが設定されていません";
inline constexpr const char* kJQuantsNotYetText = "この日のデータはまだ提供されていません (プランの配信遅延)";

// The status line while the paced fetcher waits (PacedFetcher::OnWait): «ダウンロード－待機 60秒
// (1分あたりの回数制限)».
std::string JQuantsWaitText(int64_t waitMs);

// The download of options.JQuants: the data date (under the exchange's calendar when the
// settings give the built-in rule and the clock), the catch-up of missed days, then the data
// date's market into `grid` with the completeness check and the saves of the options. A
// failed request, a wrong key, a malformed answer or an empty day end it with Ok == false
// and nothing of that day saved; errors of saving propagate as exceptions.
DownloadOutcome RunJQuantsDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                                   const platform::Progress& progress = {});

// One day's market into `grid` (reset first), rows in code order. Throws JQuantsFailure or
// JQuantsAnswerError; an empty day throws JQuantsFailure(kJQuantsNotYetText).
void FetchJQuantsDay(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                     const platform::Date& day, const platform::Progress& progress = {});

// The business days after the history files' newest day up to `through`, oldest first: the
// last `maxDays` of them in Days, any older ones in Older. Both empty without history.
struct MissedDays {
    std::vector<platform::Date> Days;
    std::vector<platform::Date> Older;
};
MissedDays FindMissedDays(const std::filesystem::path& stockFolder, const platform::Date& through,
                          const BusinessDayRule& isBusiness, int maxDays = 20);

// Fetches each missed day through the data date (inclusive), oldest first, saving its CSV and
// filing it. Stops at the first failure; Days holds the days done.
struct CatchUpOutcome {
    bool Ok = false;
    std::string Status;
    std::vector<platform::Date> Days;
    std::vector<platform::Date> NotCaughtUp;  // missed days older than the limit
    FilingReport Filing;                       // history files written and left alone
};
CatchUpOutcome CatchUpMissedDays(platform::Fetcher& client, const DownloadOptions& options,
                                 const platform::Progress& progress = {});

// The exchange's calendar of a year: from the cache file in `cacheFolder` when it was fetched
// on `today`, else fetched (/markets/calendar for the whole year) and cached. Throws
// JQuantsFailure or JQuantsAnswerError.
ExchangeCalendar LoadExchangeCalendar(platform::Fetcher& client, const DownloadOptions& options, int year,
                                      const platform::Date& today, const platform::Progress& progress = {});

}  // namespace mirolanda::quotes
