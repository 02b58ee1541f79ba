#include "jquants/JQuantsAnswers.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/Numbers.h"
#include "platform/TextFields.h"
#include "market/IssueCode.h"

namespace mirolanda::jquants {
namespace {

using Json = nlohmann::json;

constexpr int kMaxDepth = 8;                // {"data":[{…}]} needs 3
constexpr size_t kMaxPaginationKey = 2048;  // an opaque token, echoed back in a URL
constexpr size_t kMaxNameBytes = 600;       // far above any company name
constexpr int64_t kMaxPrice = std::numeric_limits<int32_t>::max();
constexpr int64_t kMaxVolume = 1'000'000'000'000'000;
constexpr int64_t kMaxTurnover = 1'000'000'000'000'000;

[[noreturn]] void Fail(const std::string& what) {
    throw JQuantsAnswerError("J-Quants API の応答が正しくありません(" + what + ")");
}

// How deep arrays and objects nest, looked at before parsing so that no body can make the
// parser or the value tree recurse far. Strings are skipped with their escapes.
int NestingDepth(std::string_view body) {
    int depth = 0, deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > kMaxDepth) break;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

Json ParseBody(std::string_view body) {
    if (body.size() > kMaxJQuantsAnswerBytes) Fail("大きすぎます");
    if (NestingDepth(body) > kMaxDepth) Fail("入れ子が深すぎます");
    Json json = Json::parse(body.begin(), body.end(), nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded()) Fail("JSON ではありません");
    if (!json.is_object()) Fail("JSON オブジェクトではありません");
    return json;
}

const Json& Member(const Json& object, const char* name) {
    auto it = object.find(name);
    if (it == object.end()) Fail(std::string(name) + " がありません");
    return *it;
}

const std::string& StringMember(const Json& object, const char* name) {
    const Json& value = Member(object, name);
    if (!value.is_string()) Fail(std::string(name) + " が文字列ではありません");
    return value.get_ref<const std::string&>();
}

std::string PaginationKey(const Json& page) {
    auto it = page.find("pagination_key");
    if (it == page.end() || it->is_null()) return {};
    if (!it->is_string()) Fail("pagination_key が文字列ではありません");
    const auto& key = it->get_ref<const std::string&>();
    if (key.size() > kMaxPaginationKey) Fail("pagination_key が長すぎます");
    return key;
}

const Json& DataArray(const Json& page) {
    const Json& data = Member(page, "data");
    if (!data.is_array()) Fail("data が配列ではありません");
    for (const Json& row : data) {
        if (!row.is_object()) Fail("data の要素がオブジェクトではありません");
    }
    return data;
}

// "YYYY-MM-DD", the API's date form.
platform::Date ApiDate(const std::string& text) {
    const std::optional<platform::Date> day = platform::ParseDashed(text);
    if (!day) Fail("Date が YYYY-MM-DD ではありません");
    return *day;
}

// The four-character code of a row's five-character Code, or nothing for a row to leave out:
// another share class of the same issue (a fifth character other than '0', which would give
// the issue's code twice) or a code of no issue.
std::optional<std::string> IssueCodeOf(const Json& row) {
    const std::string& code = StringMember(row, "Code");
    if (code.size() != 5) Fail("Code が5文字ではありません");
    if (code[4] != '0' || !market::IsIssueCode(std::string_view(code).substr(0, 4))) return std::nullopt;
    return code.substr(0, 4);
}

// A price or volume in units of 1/`scale` (tenths of a yen for prices): the number rounded to
// the nearest unit (a half to the even neighbour) within [0, high] whole units; nothing for
// null (no trade).
std::optional<int64_t> Quantity(const Json& row, const char* name, int64_t high, int64_t scale) {
    const Json& value = Member(row, name);
    if (value.is_null()) return std::nullopt;
    if (!value.is_number()) Fail(std::string(name) + " が数値ではありません");
    std::optional<int64_t> rounded =
        platform::RoundHalfEven(value.get<double>() * static_cast<double>(scale), 0, high * scale);
    if (!rounded) Fail(std::string(name) + " が範囲外です");
    return rounded;
}

// A figure the answer may leave out or null: nothing then.
std::optional<int64_t> OptionalQuantity(const Json& row, const char* name, int64_t high) {
    if (row.find(name) == row.end()) return std::nullopt;
    return Quantity(row, name, high, 1);
}

// The day's split adjustment factor (0.2 on the ex-date of a 1→5 split); 1 when absent.
double AdjustmentFactor(const Json& row) {
    auto it = row.find("AdjFactor");
    if (it == row.end() || it->is_null()) return 1.0;
    if (!it->is_number()) Fail("AdjFactor が数値ではありません");
    const double factor = it->get<double>();
    if (!(factor > 0.0 && factor <= 1000.0)) Fail("AdjFactor が範囲外です");
    return factor;
}

// A short code the answer may leave out ("Mkt", "S33"); "" then, or for anything but a short
// text of letters and digits.
std::string OptionalText(const Json& row, const char* name) {
    auto it = row.find(name);
    if (it == row.end() || !it->is_string()) return {};
    const std::string& text = it->get_ref<const std::string&>();
    if (text.size() > 16) return {};
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return {};
    }
    return text;
}

// Every row of a page as `readRow` reads it (nothing for a row to leave out), and the page's key.
template <typename Row, typename ReadRow>
JQuantsPage<Row> ReadPage(std::string_view body, const ReadRow& readRow) {
    const Json page = ParseBody(body);
    JQuantsPage<Row> result;
    for (const Json& row : DataArray(page)) {
        if (std::optional<Row> read = readRow(row)) result.Rows.push_back(std::move(*read));
    }
    result.PaginationKey = PaginationKey(page);
    return result;
}

int HolidayDivision(const Json& row) {
    // A one-digit text in the documented answers; a bare number is taken as well.
    const Json& division = Member(row, "HolDiv");
    int value = -1;
    if (division.is_string() && division.get_ref<const std::string&>().size() == 1) {
        value = division.get_ref<const std::string&>()[0] - '0';
    } else if (division.is_number_integer()) {
        value = static_cast<int>(std::clamp<int64_t>(division.get<int64_t>(), -1, 4));
    }
    if (value < 0 || value > 3) Fail("HolDiv が 0～3 ではありません");
    return value;
}

}  // namespace

JQuantsPage<market::SnapshotRow> ParseBarsPage(std::string_view body, const platform::Date& day) {
    return ReadPage<market::SnapshotRow>(body, [&day](const Json& row) -> std::optional<market::SnapshotRow> {
        if (!(ApiDate(StringMember(row, "Date")) == day)) Fail("ほかの日の株価があります");
        std::optional<std::string> code = IssueCodeOf(row);
        // Every figure is checked, also of a row left out: a malformed one spoils the answer.
        // Prices in tenths of a yen, the exchange's finest tick.
        const auto open = Quantity(row, "O", kMaxPrice, 10), high = Quantity(row, "H", kMaxPrice, 10),
                   low = Quantity(row, "L", kMaxPrice, 10), close = Quantity(row, "C", kMaxPrice, 10),
                   volume = Quantity(row, "Vo", kMaxVolume, 1);
        const auto turnover = OptionalQuantity(row, "Va", kMaxTurnover);
        const double factor = AdjustmentFactor(row);
        if (!code) return std::nullopt;
        market::SnapshotRow result;
        result.Code = *market::IssueCode::Parse(*code);
        result.Prices = {day, open.value_or(0), high.value_or(0), low.value_or(0), close.value_or(0), volume.value_or(0),
                         turnover, factor};
        return result;
    });
}

JQuantsPage<JQuantsIssue> ParseMasterPage(std::string_view body) {
    return ReadPage<JQuantsIssue>(body, [](const Json& row) -> std::optional<JQuantsIssue> {
        std::optional<std::string> code = IssueCodeOf(row);
        const std::string& name = StringMember(row, "CoName");
        if (name.size() > kMaxNameBytes) Fail("CoName が長すぎます");
        std::string segment = OptionalText(row, "Mkt"), sector = OptionalText(row, "S33");
        if (!code) return std::nullopt;
        return JQuantsIssue{std::move(*code), platform::BlankControls(name), std::move(segment), std::move(sector)};
    });
}

JQuantsPage<calendar::ExchangeDay> ParseCalendarPage(std::string_view body) {
    return ReadPage<calendar::ExchangeDay>(body, [](const Json& row) -> std::optional<calendar::ExchangeDay> {
        return calendar::ExchangeDay{ApiDate(StringMember(row, "Date")), HolidayDivision(row)};
    });
}

std::string JQuantsErrorMessage(std::string_view body) {
    if (body.size() > 64 * 1024 || NestingDepth(body) > kMaxDepth) return {};
    const Json json = Json::parse(body.begin(), body.end(), nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded() || !json.is_object()) return {};
    auto it = json.find("message");
    if (it == json.end() || !it->is_string()) return {};
    const std::string text = platform::BlankControls(it->get<std::string>());
    // At most 80 characters, never splitting one; the padding FitChars adds is taken off again.
    std::string cut = platform::FitChars(text, 80);
    cut.erase(cut.find_last_not_of(' ') + 1);
    return cut;
}

namespace {
constexpr std::string_view kCoversDates = "subscription covers the following dates:";
}  // namespace

bool IsPlanRefusal(std::string_view message) {
    return message.find(kCoversDates) != std::string_view::npos;
}

std::optional<platform::Date> PlanFirstDate(std::string_view message) {
    const size_t at = message.find(kCoversDates);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = message.substr(at + kCoversDates.size());
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    return rest.size() >= 10 ? platform::ParseDashed(rest.substr(0, 10)) : std::nullopt;
}

}  // namespace mirolanda::jquants
