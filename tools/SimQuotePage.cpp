#include "tools/SimQuotePage.h"

#include <cstdio>

#include "tools/Encoding.h"

namespace mirolanda::tools {
namespace {

const char* const kPageHead =
    "<html><head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">\n"
    "<title>株価検索</title>\n"
    "</head><body>\n";

const char* const kTableHead =
    "<table border=0 cellspacing=1 cellpadding=2>\n"
    "<tr bgcolor=#dcdcdc><th>コード</th><th>銘柄名</th><th>取引値時刻</th><th>取引値</th><th>前日比</th>"
    "<th>騰落率</th><th>出来高</th><th>始値</th><th>高値</th><th>安値</th></tr>\n";

const char* const kPageTail = "</table>\n</body></html>\n";

std::string PriceCell(const DayQuote& q, int64_t value) {
    return q.Traded ? GroupDigits(value) : "---";
}

// The row start and the ten cell lines of a listed issue, in the order the parser reads them:
// code link, name, time, price, change, change rate, volume, open, high, low.
std::vector<std::string> IssueRowLines(const Issue& issue, const DayQuote& q, int64_t previousClose) {
    int64_t change = q.Close - previousClose;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%+.2f%%",
                  previousClose > 0 ? 100.0 * static_cast<double>(change) / static_cast<double>(previousClose) : 0.0);
    return {
        "<tr align=right>",
        "<td><a href=\"/q?s=" + issue.Link + "&d=t\">" + std::to_string(issue.Code) + "</a></td>",
        "<td align=left nowrap><small>" + issue.Name + "</small></td>",
        "<td nowrap>15:00</td>",
        "<td nowrap><b>" + GroupDigits(q.Close) + "</b></td>",
        std::string("<td nowrap>") + (change > 0 ? "+" : "") + std::to_string(change) + "</td>",
        std::string("<td nowrap>") + rate + "</td>",
        "<td nowrap>" + GroupDigits(q.Volume) + "</td>",
        "<td nowrap>" + PriceCell(q, q.Open) + "</td>",
        "<td nowrap>" + PriceCell(q, q.High) + "</td>",
        "<td nowrap>" + PriceCell(q, q.Low) + "</td>",
        "</tr>",
    };
}

// The code cell of a no-match row repeats the request only when it is a plain number,
// so nothing a client sent is ever echoed into the page.
std::vector<std::string> NoMatchLines(const std::string& code) {
    bool plain = !code.empty() && code.size() <= 6 && code.find_first_not_of("0123456789") == std::string::npos;
    return {"<tr align=right>", "<td>" + (plain ? code : std::string("?")) + "</td>",
            "<td colspan=9 align=left>一致する銘柄はありません</td>", "</tr>"};
}

const Issue* Lookup(const Market& market, const std::string& code) {
    if (code.empty() || code.size() > 4 || code.find_first_not_of("0123456789") != std::string::npos) return nullptr;
    return market.Find(std::stoi(code));
}

std::string DateLine(const platform::Date& day) {
    return "<tr><td>現在の日時：" + std::to_string(day.Year) + "年" + std::to_string(day.Month) + "月" +
           std::to_string(day.Day) + "日 15:00</td></tr>\n";
}

}  // namespace

std::vector<std::string> SplitCodes(std::string_view joined) {
    std::vector<std::string> codes;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('+', start);
        if (end == std::string_view::npos) end = joined.size();
        if (end > start) codes.emplace_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return codes;
}

std::string GroupDigits(int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

std::string QuotePageUtf8(const Market& market, const platform::Date& day, const std::vector<std::string>& codes,
                          PageShape shape) {
    size_t listed = 0;
    for (const auto& code : codes) listed += Lookup(market, code) ? 1 : 0;
    size_t keep = shape == PageShape::Fewer ? listed / 2 : listed;
    size_t cutRow = shape == PageShape::Cut ? listed / 2 : listed;  // the row the page stops in

    std::string page = kPageHead;
    page += "<table width=100%>\n" + DateLine(day) + "</table>\n";
    page += kTableHead;
    size_t seen = 0;
    for (const auto& code : codes) {
        const Issue* issue = Lookup(market, code);
        if (!issue) {
            for (const auto& line : NoMatchLines(code)) page += line + "\n";
            continue;
        }
        size_t index = seen++;
        if (index >= keep) continue;
        auto lines = IssueRowLines(*issue, market.Quote(*issue, day), market.Quote(*issue, platform::AddDays(day, -1)).Close);
        if (index == cutRow) {
            // Stop after the name and time cells, halfway through the line of the price.
            for (size_t i = 0; i < 4; ++i) page += lines[i] + "\n";
            page += lines[4].substr(0, lines[4].size() / 2);
            return page;
        }
        for (const auto& line : lines) page += line + "\n";
    }
    if (shape == PageShape::Cut) {
        // No listed issue to cut into: stop inside the table heading instead.
        return page.substr(0, page.rfind("<th>") + 2);
    }
    page += kPageTail;
    return page;
}

std::string QuotePageEucJp(const Market& market, const platform::Date& day, const std::vector<std::string>& codes,
                           PageShape shape) {
    return Utf8ToEucJp(QuotePageUtf8(market, day, codes, shape));
}

std::string ExpectedCsvLine(const Issue& issue, const DayQuote& q) {
    return std::to_string(issue.Code) + ",\"" + issue.Name + "\"," + std::to_string(q.Open) + "," +
           std::to_string(q.High) + "," + std::to_string(q.Low) + "," + std::to_string(q.Close) + "," +
           std::to_string(q.Volume);
}

std::string ExpectedDailyCsv(const Market& market, const platform::Date& day) {
    std::string text;
    for (const Issue& issue : market.Issues()) text += ExpectedCsvLine(issue, market.Quote(issue, day)) + "\r\n";
    return Utf8ToCp932(text);
}

}  // namespace mirolanda::tools
