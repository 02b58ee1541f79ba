#include "tools/JQuantsApi.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "tools/Encoding.h"

namespace mirolanda::tools {
namespace {

constexpr std::array<const char*, 12> kFixedHolidays = {"01/01", "01/02", "01/03", "02/11", "02/23", "04/29",
                                                        "05/03", "05/04", "05/05", "11/03", "11/23", "12/31"};

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Tenths of a yen added to a price of an issue with letters, 0–9, fixed by the day and field.
int Tenths(const Issue& issue, const platform::Date& day, int field) {
    if (issue.Code != 0) return 0;
    return static_cast<int>(Mix(issue.Key, static_cast<uint64_t>(platform::DaysFromCivil(day)), 31,
                                static_cast<uint64_t>(field)) % 10);
}

// The other share class trades a little above the common one.
DayQuote QuoteOf(const Market& market, const ApiIssue& row, const platform::Date& day) {
    DayQuote q = market.Quote(*row.Listed, day);
    if (row.SecondClass && q.Traded) {
        q.Open += 7, q.High += 7, q.Low += 7, q.Close += 7, q.Volume /= 10;
    }
    return q;
}

std::string BarJson(const Market& market, const ApiIssue& row, const platform::Date& day) {
    const DayQuote q = QuoteOf(market, row, day);
    const Issue& issue = *row.Listed;
    auto price = [&](int64_t yen, int field) { return q.Traded ? ApiPrice(issue, yen, day, field) : "null"; };
    const std::string volume = q.Traded ? std::to_string(q.Volume) + ".0" : "null";
    const std::string value = q.Traded ? std::to_string(q.Close * q.Volume) + ".0" : "null";
    return "{\"Date\":\"" + platform::FormatDashed(day) + "\",\"Code\":\"" + row.Code5 + "\",\"O\":" + price(q.Open, 1) +
           ",\"H\":" + price(q.High, 2) + ",\"L\":" + price(q.Low, 3) + ",\"C\":" + price(q.Close, 4) +
           ",\"UL\":\"0\",\"LL\":\"0\",\"Vo\":" + volume + ",\"Va\":" + value + ",\"AdjFactor\":1.0,\"AdjO\":" +
           price(q.Open, 1) + ",\"AdjH\":" + price(q.High, 2) + ",\"AdjL\":" + price(q.Low, 3) +
           ",\"AdjC\":" + price(q.Close, 4) + ",\"AdjVo\":" + volume + "}";
}

std::string MasterJson(const ApiIssue& row, const platform::Date& day) {
    return "{\"Date\":\"" + platform::FormatDashed(day) + "\",\"Code\":\"" + row.Code5 + "\",\"CoName\":" +
           JsonString(row.Listed->Name) + ",\"CoNameEn\":\"Issue " + row.Listed->Symbol +
           "\",\"S17\":\"1\",\"S17Nm\":\"食品\",\"S33\":\"0050\",\"S33Nm\":\"水産・農林業\",\"ScaleCat\":\"-\","
           "\"Mkt\":\"0111\",\"MktNm\":\"プライム\",\"Mrgn\":\"1\",\"MrgnNm\":\"信用\"}";
}

template <typename RowJson>
std::string Page(size_t total, size_t offset, size_t pageSize, const std::string& nextKey, const RowJson& rowJson) {
    std::string out = "{\"data\":[";
    const size_t end = std::min(total, offset + std::max<size_t>(pageSize, 1));
    for (size_t i = offset; i < end; ++i) {
        if (i > offset) out += ",";
        out += rowJson(i);
    }
    out += "]";
    if (end < total) out += ",\"pagination_key\":" + JsonString(nextKey);
    return out + "}";
}

}  // namespace

std::vector<ApiIssue> ApiIssues(const Market& market) {
    std::vector<ApiIssue> rows;
    for (const auto* list : {&market.Issues(), &market.LetterIssues()}) {
        for (const Issue& issue : *list) {
            rows.push_back({issue.Symbol + "0", &issue, false});
            if (issue.Key % 97 == 0) rows.push_back({issue.Symbol + "5", &issue, true});
        }
    }
    std::sort(rows.begin(), rows.end(), [](const ApiIssue& a, const ApiIssue& b) { return a.Code5 < b.Code5; });
    return rows;
}

int HolidayDivision(const platform::Date& day, const JQuantsSimOptions& options) {
    const int weekday = platform::Weekday(day);
    if (weekday == 0 || weekday == 6) return 0;
    const std::string mmdd = platform::FormatSlashed(day).substr(5);
    if (std::find(kFixedHolidays.begin(), kFixedHolidays.end(), mmdd) != kFixedHolidays.end()) return 0;
    if (std::find(options.ClosedDays.begin(), options.ClosedDays.end(), day) != options.ClosedDays.end()) return 0;
    return 1;
}

std::string ApiPrice(const Issue& issue, int64_t yen, const platform::Date& day, int field) {
    return std::to_string(yen) + "." + std::to_string(Tenths(issue, day, field));
}

int64_t StoredPrice(const Issue& issue, int64_t yen, const platform::Date& day, int field) {
    const int tenths = Tenths(issue, day, field);
    return yen + (tenths > 5 || (tenths == 5 && yen % 2 == 1) ? 1 : 0);
}

std::string BarsPageJson(const Market& market, const platform::Date& day, size_t offset, size_t pageSize,
                         const std::string& nextKey) {
    const std::vector<ApiIssue> rows = ApiIssues(market);
    return Page(rows.size(), offset, pageSize, nextKey, [&](size_t i) { return BarJson(market, rows[i], day); });
}

std::string MasterPageJson(const Market& market, const platform::Date& day, size_t offset, size_t pageSize,
                           const std::string& nextKey) {
    const std::vector<ApiIssue> rows = ApiIssues(market);
    return Page(rows.size(), offset, pageSize, nextKey, [&](size_t i) { return MasterJson(rows[i], day); });
}

std::string CalendarJson(const platform::Date& from, const platform::Date& to, const JQuantsSimOptions& options) {
    std::string out = "{\"data\":[";
    for (long d = platform::DaysFromCivil(from); d <= platform::DaysFromCivil(to); ++d) {
        const platform::Date day = platform::CivilFromDays(d);
        if (d > platform::DaysFromCivil(from)) out += ",";
        out += "{\"Date\":\"" + platform::FormatDashed(day) + "\",\"HolDiv\":\"" + std::to_string(HolidayDivision(day, options)) + "\"}";
    }
    return out + "]}";
}

std::string MessageJson(const std::string& message) {
    return "{\"message\":" + JsonString(message) + "}";
}

std::string PlanRefusalJson(const platform::Date& first, const platform::Date& last) {
    return MessageJson("Your subscription covers the following dates: " + platform::FormatDashed(first) + " ~ " +
                       platform::FormatDashed(last) + ". If you want more data, please check other plans:https://jpx-jquants.com/#dataset");
}

std::string ExpectedJQuantsCsv(const Market& market, const platform::Date& day) {
    std::string text;
    for (const ApiIssue& row : ApiIssues(market)) {
        if (row.SecondClass) continue;
        const Issue& issue = *row.Listed;
        const DayQuote q = market.Quote(issue, day);
        auto price = [&](int64_t yen, int field) { return q.Traded ? StoredPrice(issue, yen, day, field) : 0; };
        text += issue.Symbol + ",\"" + issue.Name + "\"," + std::to_string(price(q.Open, 1)) + "," +
                std::to_string(price(q.High, 2)) + "," + std::to_string(price(q.Low, 3)) + "," +
                std::to_string(price(q.Close, 4)) + "," + std::to_string(q.Traded ? q.Volume : 0) + "\r\n";
    }
    return Utf8ToCp932(text);
}

}  // namespace mirolanda::tools
