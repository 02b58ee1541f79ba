// The daily download through any quote source (market/QuoteSource.h): the data date (under the
// source's own trading calendar where it has one), the business days the history files lack
// (caught up from a source that serves past days, named for one that does not), the data
// date's market with the completeness check, the comparison with the day before, and the saves
// of each day. Used by the window (on a worker thread) and by the CLI.
#pragma once

#include <filesystem>
#include <vector>

#include "market/QuoteSource.h"
#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "quotes/DownloadCommon.h"

namespace mirolanda::quotes {

// Runs the download. Creates the temporary, CSV and history folders it will need before the
// first request (FileError when one cannot be made). A failed request, a malformed answer or
// an incomplete day end it with Ok == false and nothing of that day saved (days caught up
// before it stay saved); damaged history files are left alone and reported, the day still
// counts as done; other errors of saving propagate as exceptions.
DownloadOutcome RunDownload(market::QuoteSource& source, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress = {});

// The business days after the history files' newest day up to `through`, oldest first: the
// last `maxDays` of them in Days, any older ones in Older. Both empty without history.
struct MissedDays {
    std::vector<platform::Date> Days;
    std::vector<platform::Date> Older;
};
MissedDays FindMissedDays(const std::filesystem::path& stockFolder, const platform::Date& through,
                          const platform::BusinessDayRule& isBusiness, int maxDays = 20);

// The business days before the data date that the history files lack (at most the last 20),
// by options.BuiltinBusinessDay; none without that rule or the data date. A source that serves
// the present day only names these to the user instead of fetching them.
std::vector<platform::Date> DaysTheSiteCannotGive(const DownloadOptions& options);

// Fetches each missed day through the data date (inclusive), oldest first, saving and filing
// it. Stops at the first failure; Days holds the days done.
struct CatchUpOutcome {
    bool Ok = false;
    std::string Status;
    std::vector<platform::Date> Days;
    std::vector<platform::Date> NotCaughtUp;  // missed days older than the limit
    FilingReport Filing;                       // history files written and left alone
};
CatchUpOutcome CatchUpMissedDays(market::QuoteSource& source, platform::Fetcher& client, const DownloadOptions& options,
                                 const platform::Progress& progress = {});

}  // namespace mirolanda::quotes
