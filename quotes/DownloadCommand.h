// The daily download: from the quote site, every code from 1000 to 9999 in 180 requests of
// fifty parsed into the result grid, or from the J-Quants API the whole market of the data
// date in a few requests (quotes/JQuantsDownload.h); then the completeness check, and
// optionally the daily CSV file and its filing into the history files. Used by the window (on
// a worker thread) and by the CLI.
#pragma once

#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "platform/Table.h"
#include "quotes/DownloadCommon.h"

namespace mirolanda::quotes {

// Runs the download into `grid` (reset at each pass). Creates the temporary, CSV and history
// folders it will need before the first request (FileError when one cannot be made). Failures
// of requests end it with Ok == false and nothing saved; a page cut short counts as a failed
// request. Damaged history files are left alone and reported, the day still counts as done;
// other errors of saving propagate as exceptions.
DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress = {});

// The business days before the data date that the history files lack (at most the last 20),
// by options.BuiltinBusinessDay; none without that rule or a readable data date. The quote
// site serves the present day only, so these are named to the user, not fetched.
std::vector<platform::Date> DaysTheSiteCannotGive(const DownloadOptions& options);

}  // namespace mirolanda::quotes
