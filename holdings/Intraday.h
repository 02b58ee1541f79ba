// The holdings' intraday update and its viewer: fresh quotes of every held issue in blocks
// of fifty, their intraday chart images in the settings folder's "Daily", each latest price
// filed under the data date; and the viewer's lines for one quote row. Used by the window's
// holdings tab on a worker thread.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "platform/RunLog.h"
#include "platform/Table.h"
#include "quotesite/QuotePage.h"
#include "quotes/StockFile.h"

namespace mirolanda::holdings {

struct IntradayOptions {
    std::string QuoteSiteUrl;  // base such as "http://127.0.0.1:8787"
    std::string ChartSiteUrl;
    int ConnectionMode = 0;
    std::string Proxy;
    std::filesystem::path TempFolder;
    std::filesystem::path SettingFolder;
    std::filesystem::path StockFolder;
    // The data date "yyyymmdd" at the moment a price is filed.
    std::function<std::string()> DataDate;
};

struct IntradayOutcome {
    bool Ok = false;
    // On failure "Internet Error(…)"; on success the summary of history files left alone, or "".
    std::string Status;
    std::string Detail;     // on failure the HTTP library's own text
    bool Cancelled = false;
    int Images = 0;         // chart images stored
    quotes::FilingReport Filing;  // prices filed, and damaged history files left as they were
};

// settingFolder/"Daily".
std::filesystem::path DailyFolder(const std::filesystem::path& settingFolder);

// A link code the program names files and addresses after: the quote parser's rule.
using quotesite::IsSafeLinkCode;
// "/chart/1d/" + first character + "/" + link + ".gif".
std::string ChartImageRequestPath(std::string_view link);
// The first four characters of the link code + ".gif".
std::string DailyImageName(std::string_view link);

// Empties `quotes` (8 columns, no heading), clears "Daily", asks the quote site for the codes
// (the holdings grid's codes, in its order) fifty at a time, then for every quote row fetches
// its chart image into "Daily" and files its latest price. A failed request (a page cut short
// included) ends the update with what was done so far kept; a row whose link code is not safe
// gets no image; a damaged history file is left as it is and reported.
IntradayOutcome RunIntradayUpdate(platform::Table& quotes, const std::vector<std::string>& codes,
                                  platform::Fetcher& client, const IntradayOptions& options,
                                  const platform::Progress& progress = {});

// The update's part of a run-log line: outcome, prices filed, history files left alone, error.
void DescribeInRunRecord(const IntradayOutcome& outcome, platform::RunRecord& record);

// What the viewer shows for one position (1 = the first holding).
struct DayView {
    std::filesystem::path Image;  // empty when the row's link code is not safe
    std::string Meigara;          // code + "  " + name
    std::string Info;             // "終値 …円  　買値 …円  (…円→…円)"
};

// The line of a holding whose code the quote site did not answer.
inline constexpr std::string_view kNotFetched = "取得できませんでした";

// The view of holding position − 1 with the quote row of the same code (the k-th holding of
// a code with the k-th quote row of it); a holding the site did not answer shows its code,
// name and kNotFetched, with no image. Nothing for a position outside the holdings.
std::optional<DayView> DayViewAt(const platform::Table& quotes, const platform::Table& holdings,
                                 const std::filesystem::path& settingFolder, int position);

// "終値 " + close + "円  　買値 " + price text + "円  (" + qty × buy + "円→" + qty × close + "円)".
std::string DayInfoLine(std::string_view closeCell, std::string_view buyCell, std::string_view qtyCell);

// A number in plain decimal without grouping; a whole value without a decimal point.
std::string PlainNumber(double value);

}  // namespace mirolanda::holdings
