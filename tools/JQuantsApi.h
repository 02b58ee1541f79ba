// The J-Quants API (v2) as the simulator serves it: the day's bars of every issue, the
// listed-issue master and the trading calendar, as JSON pages {"data":[…],"pagination_key":…},
// from the same synthetic market as the quote site's pages. Numeric issues get the quote
// site's figures; issues with letters in their codes trade in tenths of a yen; some issues
// also list a second share class (a fifth code character '5'). Also the daily CSV file a
// complete download of a day through the API must give.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "tools/Market.h"

namespace mirolanda::tools {

struct JQuantsSimOptions {
    std::string Key = "mirolanda-test-key";  // the one x-api-key accepted
    size_t PageSize = 1000;                  // rows per page before a pagination_key
    int PerMinute = 0;                       // 429 past this many API requests a minute; 0: no limit
    int RetryAfterSeconds = 0;               // Retry-After of a 429; 0: none, as the real API
    int DelayDays = 0;                       // days after the market date before a day is served
    std::vector<platform::Date> ClosedDays;  // business days the exchange closes besides the fixed holidays
    std::optional<platform::Date> PlanFrom;  // the plan's first date: bars and master refuse any before it
};

// One row of the API's listings: an issue under its five-character code.
struct ApiIssue {
    std::string Code5;
    const Issue* Listed = nullptr;
    bool SecondClass = false;  // the same issue's other share class
};

// Every listed row in the API's order (by five-character code).
std::vector<ApiIssue> ApiIssues(const Market& market);

// The exchange's holiday division of a day: 0 for weekends, the fixed holidays (1/1–1/3, 2/11,
// 2/23, 4/29, 5/3–5/5, 11/3, 11/23, 12/31) and the closed days; 1 otherwise.
int HolidayDivision(const platform::Date& day, const JQuantsSimOptions& options);

// A page of rows [offset, offset + pageSize) as JSON, with `nextKey` as its pagination_key
// when more rows follow.
std::string BarsPageJson(const Market& market, const platform::Date& day, size_t offset, size_t pageSize,
                         const std::string& nextKey);
std::string MasterPageJson(const Market& market, const platform::Date& day, size_t offset, size_t pageSize,
                           const std::string& nextKey);
std::string CalendarJson(const platform::Date& from, const platform::Date& to, const JQuantsSimOptions& options);
// {"message":"…"}
std::string MessageJson(const std::string& message);
// The API's refusal of a date its plan does not cover, naming the plan's dates.
std::string PlanRefusalJson(const platform::Date& first, const platform::Date& last);

// A bar's price as the API writes it (tenths of a yen for codes with letters) and the same
// price as the program stores it, rounded half to even.
std::string ApiPrice(const Issue& issue, int64_t yen, const platform::Date& day, int field);
int64_t StoredPrice(const Issue& issue, int64_t yen, const platform::Date& day, int field);

// The daily CSV file of a complete download of the day through the API: every issue of both
// lists in the program's code order, zeros for an issue without trades, Shift_JIS, CR LF.
std::string ExpectedJQuantsCsv(const Market& market, const platform::Date& day);

}  // namespace mirolanda::tools
