// The J-Quants answer readers: what a documented page gives (nulls as zeros, prices rounded
// half to even, other share classes left out, codes with letters kept), every malformed answer
// refused with JQuantsAnswerError, and no crash or other exception on mutated bodies. Also the
// issue-code rule and the two calendars' business days.
#include "jquants/JQuantsAnswers.h"

#include <gtest/gtest.h>

#include <random>

#include "calendar/ExchangeCalendar.h"
#include "market/IssueCode.h"

using namespace mirolanda;
using jquants::JQuantsAnswerError;

namespace {

const platform::Date kDay{2026, 1, 5};

std::string Bar(const std::string& code, const std::string& o, const std::string& c, const std::string& vo,
                const std::string& date = "2026-01-05") {
    return "{\"Date\":\"" + date + "\",\"Code\":\"" + code + "\",\"O\":" + o + ",\"H\":" + o + ",\"L\":" + o +
           ",\"C\":" + c + ",\"UL\":\"0\",\"Vo\":" + vo + ",\"Va\":null,\"AdjC\":" + c + "}";
}

std::string Page(const std::vector<std::string>& rows, const std::string& tail = "") {
    std::string out = "{\"data\":[";
    for (size_t i = 0; i < rows.size(); ++i) out += (i ? "," : "") + rows[i];
    return out + "]" + tail + "}";
}

}  // namespace

TEST(JQuantsAnswers, BarsPageGivesFourCharacterCodesZerosForNullsAndRoundedPrices) {
    const std::string body = Page({Bar("13010", "3630.0", "3625.5", "8100.0"),   // 3625.5 → 3626 (even)
                                   Bar("13020", "100.5", "100.5", "100.0"),      // 100.5 → 100
                                   Bar("130A0", "512.25", "512.75", "900.0"),    // letters kept
                                   Bar("25935", "1.0", "1.0", "1.0"),            // other share class: left out
                                   Bar("99990", "null", "null", "null")},        // no trade
                                  ",\"pagination_key\":\"abc+/=\"");
    auto page = jquants::ParseBarsPage(body, kDay);
    ASSERT_EQ(page.Rows.size(), 4u);
    EXPECT_EQ(page.PaginationKey, "abc+/=");
    EXPECT_EQ(page.Rows[0].Code.Text(), "1301");
    EXPECT_EQ(market::WholeYen(page.Rows[0].Prices.Open), 3630);
    EXPECT_EQ(market::WholeYen(page.Rows[0].Prices.Close), 3626);
    EXPECT_EQ(page.Rows[0].Prices.Volume, 8100);
    EXPECT_EQ(market::WholeYen(page.Rows[1].Prices.Close), 100);
    EXPECT_EQ(page.Rows[2].Code.Text(), "130A");
    EXPECT_EQ(market::WholeYen(page.Rows[2].Prices.Open), 512);
    EXPECT_EQ(market::WholeYen(page.Rows[2].Prices.Close), 513);
    EXPECT_EQ(page.Rows[3].Code.Text(), "9999");
    EXPECT_FALSE(page.Rows[3].Prices.Traded());
    EXPECT_EQ(market::WholeYen(page.Rows[3].Prices.Close), 0);
    EXPECT_EQ(page.Rows[3].Prices.Volume, 0);
    EXPECT_EQ(jquants::ParseBarsPage("{\"data\":[]}", kDay).Rows.size(), 0u);
}

TEST(JQuantsAnswers, MalformedAnswersAreRefused) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"not json", "<html>Service Unavailable</html>"},
        {"empty", ""},
        {"array", "[]"},
        {"no data", "{\"pagination_key\":\"x\"}"},
        {"data not an array", "{\"data\":{}}"},
        {"row not an object", "{\"data\":[1]}"},
        {"missing close", "{\"data\":[{\"Date\":\"2026-01-05\",\"Code\":\"13010\",\"O\":1,\"H\":1,\"L\":1,\"Vo\":1}]}"},
        {"price as text", Page({Bar("13010", "\"3630\"", "1", "1")})},
        {"negative price", Page({Bar("13010", "-1", "1", "1")})},
        {"price past 32 bits", Page({Bar("13010", "1", "3000000000", "1")})},
        {"four-character code", Page({Bar("1301", "1", "1", "1")})},
        {"code not text", "{\"data\":[{\"Date\":\"2026-01-05\",\"Code\":13010,\"O\":1,\"H\":1,\"L\":1,\"C\":1,\"Vo\":1}]}"},
        {"another day", Page({Bar("13010", "1", "1", "1", "2026-01-06")})},
        {"bad date", Page({Bar("13010", "1", "1", "1", "2026-02-30")})},
        {"key not text", Page({}, ",\"pagination_key\":5")},
        {"key too long", Page({}, ",\"pagination_key\":\"" + std::string(5000, 'k') + "\"")},
        {"too deep", "{\"data\":[" + std::string(20, '[') + std::string(20, ']') + "]}"},
        {"bad utf-8", "{\"data\":[],\"x\":\"\xff\xfe\"}"},
        {"trailing garbage", "{\"data\":[]} x"},
    };
    for (const auto& [name, body] : cases) {
        EXPECT_THROW(jquants::ParseBarsPage(body, kDay), JQuantsAnswerError) << name;
    }
}

TEST(JQuantsAnswers, MasterAndCalendarPages) {
    auto master = jquants::ParseMasterPage(
        "{\"data\":[{\"Code\":\"13010\",\"CoName\":\"極洋\\n\"},{\"Code\":\"130A0\",\"CoName\":\"Veritas In Silico\"},"
        "{\"Code\":\"25935\",\"CoName\":\"伊藤園 優先\"}]}");
    ASSERT_EQ(master.Rows.size(), 2u);
    EXPECT_EQ(master.Rows[0].Name, "極洋 ");  // a line break would split a CSV line
    EXPECT_EQ(master.Rows[1].Code, "130A");
    EXPECT_THROW(jquants::ParseMasterPage("{\"data\":[{\"Code\":\"13010\"}]}"), JQuantsAnswerError);

    auto calendar = jquants::ParseCalendarPage(
        "{\"data\":[{\"Date\":\"2026-01-01\",\"HolDiv\":\"0\"},{\"Date\":\"2026-01-05\",\"HolDiv\":\"1\"},"
        "{\"Date\":\"2026-01-06\",\"HolDiv\":2},{\"Date\":\"2026-01-12\",\"HolDiv\":\"3\"}]}");
    ASSERT_EQ(calendar.Rows.size(), 4u);
    calendar::ExchangeCalendar exchange(calendar.Rows);
    EXPECT_EQ(exchange.IsBusinessDay({2026, 1, 1}), false);
    EXPECT_EQ(exchange.IsBusinessDay({2026, 1, 6}), true);  // a half-day session is a business day
    EXPECT_EQ(exchange.IsBusinessDay({2026, 1, 12}), false);
    EXPECT_EQ(exchange.IsBusinessDay({2026, 1, 7}), std::nullopt);
    for (const char* division : {"\"4\"", "\"\"", "\"10\"", "null", "-1"}) {
        EXPECT_THROW(jquants::ParseCalendarPage(std::string("{\"data\":[{\"Date\":\"2026-01-01\",\"HolDiv\":") + division +
                                               "}]}"),
                     JQuantsAnswerError)
            << division;
    }
}

TEST(JQuantsAnswers, ErrorMessageIsShortAndSingleLine) {
    EXPECT_EQ(jquants::JQuantsErrorMessage("{\"message\":\"The incoming api key is invalid or expired.\"}"),
              "The incoming api key is invalid or expired.");
    EXPECT_EQ(jquants::JQuantsErrorMessage("{\"message\":\"a\\r\\nb\"}"), "a  b");
    EXPECT_EQ(jquants::JQuantsErrorMessage("{\"message\":\"" + std::string(500, 'x') + "\"}").size(), 80u);
    EXPECT_EQ(jquants::JQuantsErrorMessage("<html>403</html>"), "");
    EXPECT_EQ(jquants::JQuantsErrorMessage("{\"message\":7}"), "");
}

// Mutated bytes of documented answers: each reader returns or throws JQuantsAnswerError, and
// the sanitizers see no bad access.
TEST(JQuantsAnswers, MutatedBodiesNeverCrash) {
    const std::vector<std::string> seeds = {
        Page({Bar("13010", "3630.0", "3625.5", "8100.0"), Bar("130A0", "null", "null", "null")}, ",\"pagination_key\":\"k\""),
        "{\"data\":[{\"Code\":\"13010\",\"CoName\":\"極洋\"}]}",
        "{\"data\":[{\"Date\":\"2026-01-01\",\"HolDiv\":\"0\"}]}",
        "{\"message\":\"Too Many Requests\"}",
    };
    const std::string alphabet = "{}[]\",:0123456789.-eE+nultrfasA\\u \xe3\x81\x82\xff";
    std::mt19937 random(20260105);
    int parsed = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string body = seeds[static_cast<size_t>(round) % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !body.empty(); ++e) {
            const size_t at = random() % body.size();
            switch (random() % 4) {
                case 0: body[at] = alphabet[random() % alphabet.size()]; break;
                case 1: body.erase(at, 1 + random() % 3); break;
                case 2: body.insert(at, 1, alphabet[random() % alphabet.size()]); break;
                default: body.resize(at); break;
            }
        }
        for (int reader = 0; reader < 3; ++reader) {
            try {
                if (reader == 0) jquants::ParseBarsPage(body, kDay);
                if (reader == 1) jquants::ParseMasterPage(body);
                if (reader == 2) jquants::ParseCalendarPage(body);
                ++parsed;
            } catch (const JQuantsAnswerError&) {
            }
        }
        jquants::JQuantsErrorMessage(body);
    }
    EXPECT_GT(parsed, 0);  // some mutations stay valid, so the readers' happy paths ran too
}

TEST(IssueCode, FourCharactersWithLettersOnlyWhereTheExchangePutsThem) {
    for (const char* good : {"1000", "1301", "9999", "130A", "999A", "130C", "1A00", "9A9A", "1H2N", "1Y0X"}) {
        EXPECT_TRUE(market::IsIssueCode(good)) << good;
    }
    for (const char* bad : {"", "130", "13010", "0130", "A130", "13A0", "130a", "130B", "130E", "1I00", "1O00",
                            "130Q", "130V", "130Z", "13 0", "-130", "１３０Ａ"}) {
        EXPECT_FALSE(market::IsIssueCode(bad)) << bad;
    }
}

TEST(ExchangeCalendar, TheExchangeWinsWhereTheCalendarsDisagree) {
    // The built-in rule knows weekends and 2026/01/12 only; the exchange also closes 2026/01/08
    // and opens the built-in holiday.
    const platform::BusinessDayRule builtin = [](const platform::Date& d) {
        const int w = platform::Weekday(d);
        return w != 0 && w != 6 && !(d == platform::Date{2026, 1, 12});
    };
    std::vector<calendar::ExchangeDay> days;
    for (int d = 5; d <= 14; ++d) {
        const platform::Date day{2026, 1, d};
        const int w = platform::Weekday(day);
        days.push_back({day, w == 0 || w == 6 || d == 8 ? 0 : 1});
    }
    const calendar::ExchangeCalendar exchange(days);
    const auto differences = calendar::CompareCalendars(exchange, builtin);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(calendar::CalendarDifferenceText(differences[0]), "2026/01/08: 取引所の休業日ですが、内蔵カレンダーでは営業日です");
    EXPECT_EQ(calendar::CalendarDifferenceText(differences[1]), "2026/01/12: 取引所の営業日ですが、内蔵カレンダーでは休日です");

    const platform::BusinessDayRule rule = calendar::ExchangeFirst(exchange, builtin);
    EXPECT_EQ(platform::DataDateUnder({{2026, 1, 9}, 8, 59, 0}, rule), (platform::Date{2026, 1, 7}));  // over the 8th
    EXPECT_EQ(platform::DataDateUnder({{2026, 1, 12}, 15, 0, 0}, rule), (platform::Date{2026, 1, 12}));
    EXPECT_EQ(platform::DataDateUnder({{2026, 1, 12}, 15, 0, 0}, builtin), (platform::Date{2026, 1, 9}));
    EXPECT_EQ(platform::DataDateUnder({{2026, 1, 12}, 15, 0, 0}, [](const platform::Date&) { return false; }), std::nullopt);
    const auto between = calendar::BusinessDaysBetween({2026, 1, 6}, {2026, 1, 13}, rule);
    EXPECT_EQ(between, (std::vector<platform::Date>{{2026, 1, 7}, {2026, 1, 9}, {2026, 1, 12}, {2026, 1, 13}}));
}
