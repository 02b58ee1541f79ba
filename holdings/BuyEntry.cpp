#include "holdings/BuyEntry.h"

#include <algorithm>
#include <cstdint>

#include "holdings/BuyData.h"
#include "platform/Numbers.h"
#include "platform/Date.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace mirolanda::holdings {

std::string NameForCodeBox(std::string_view codeText, const History& history) {
    if (auto code = market::CodeFromText(codeText)) return history.Name(*code);
    auto number = platform::RoundHalfEven(platform::LeadingNumber(codeText), INT16_MIN, INT16_MAX);
    return history.Name(number ? static_cast<int>(*number) : 0);
}

market::IssueCode CodeFromWholeText(std::string_view codeText) {
    return market::CodeFromText(codeText).value_or(market::IssueCode(0));
}

namespace {

// Reads up to `maxDigits` digits at pos; nothing when there is none.
std::optional<int> ReadDigits(std::string_view text, size_t& pos, size_t maxDigits) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
    }
    if (pos == start) return std::nullopt;
    return value;
}

bool IsSeparator(char c) {
    return c == '/' || c == '-' || c == '.';
}

}  // namespace

std::optional<std::string> NormalizeBuyDate(std::string_view text) {
    text = platform::TrimBlanks(text);
    if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos) {
        auto date = platform::ParseYmd(text);
        return date ? std::optional(platform::FormatSlashed(*date)) : std::nullopt;
    }
    size_t pos = 0;
    auto year = ReadDigits(text, pos, 4);
    if (!year || pos != 4 || pos >= text.size() || !IsSeparator(text[pos])) return std::nullopt;
    char separator = text[pos++];
    auto month = ReadDigits(text, pos, 2);
    if (!month || pos >= text.size() || text[pos] != separator) return std::nullopt;
    ++pos;
    auto day = ReadDigits(text, pos, 2);
    if (!day || pos != text.size()) return std::nullopt;
    if (!platform::IsValidDate(*year, *month, *day)) return std::nullopt;
    return platform::FormatSlashed({*year, *month, *day});
}

namespace {

bool HasDay(const quotes::IssueRecord& record, std::string_view date) {
    for (const auto& day : record.Days) {
        if (day.Date == date) return true;
    }
    return false;
}

// True when the box's leading number rounds to a non-zero 32-bit integer.
bool IsUsableCount(std::string_view text) {
    auto value = platform::RoundHalfEven(platform::LeadingNumber(text), INT32_MIN, INT32_MAX);
    return value && *value != 0;
}

// The box's text made plain, or the refusal that says why it cannot be.
// An empty box is left to the zero check.
std::optional<BuyCheck> NormalizeAmount(std::string& text, BuyField field, std::string_view what) {
    if (text.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
    if (auto plain = TypedAmount(text)) {
        text = *plain;
        return std::nullopt;
    }
    return BuyCheck{BuyRefusal::NotANumber, field, true,
                    std::string(what) + "「" + text + "」は数として読めません。数字だけで入力してください(桁区切りのカンマと小数点は使えます)"};
}

}  // namespace

std::optional<std::string> TypedAmount(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const std::string sign = text.front() == '-' ? "-" : "";
    text.remove_prefix(sign.size());
    const std::string_view whole = text.substr(0, text.find('.'));
    const std::string_view fraction = whole.size() < text.size() ? text.substr(whole.size() + 1) : std::string_view("0");
    auto allDigits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!allDigits(fraction)) return std::nullopt;
    std::string plain;
    if (whole.find(',') == std::string_view::npos) {
        if (!allDigits(whole)) return std::nullopt;
        plain = whole;
    } else {
        // "1,234,567": one to three digits, then groups of exactly three.
        const size_t lead = whole.find(',');
        if (lead == 0 || lead > 3 || !allDigits(whole.substr(0, lead))) return std::nullopt;
        plain = whole.substr(0, lead);
        for (size_t at = lead; at < whole.size(); at += 4) {
            const std::string_view group = whole.substr(at + 1, 3);
            if (whole[at] != ',' || group.size() != 3 || !allDigits(group)) return std::nullopt;
            plain += group;
        }
    }
    return sign + (whole.size() < text.size() ? plain + "." + std::string(fraction) : plain);
}

BuyCheck CheckBuyEntry(BuyEntry& entry, const History& history) {
    const market::IssueCode code = CodeFromWholeText(entry.Code);
    entry.Name = history.Name(code);
    if (IsUnknownName(entry.Name)) return {BuyRefusal::UnknownIssue, BuyField::Code, true, {}};

    if (auto date = NormalizeBuyDate(entry.Date)) entry.Date = *date;
    if (entry.Date.empty()) return {BuyRefusal::EmptyDate, BuyField::Date, true, {}};

    if (!HasDay(history.Record(code), entry.Date)) {
        return {BuyRefusal::NoDayPrice, BuyField::None, false, std::string(kNoDayPriceMessage)};
    }
    if (auto refused = NormalizeAmount(entry.Price, BuyField::Price, "購入単価")) return *refused;
    if (auto refused = NormalizeAmount(entry.Shares, BuyField::Shares, "株数")) return *refused;
    if (!IsUsableCount(entry.Price)) return {BuyRefusal::ZeroPrice, BuyField::Price, true, {}};
    if (!IsUsableCount(entry.Shares)) return {BuyRefusal::ZeroShares, BuyField::Shares, true, {}};
    return {};
}

bool ApplyBuyEntry(platform::Table& holdings, const BuyEntry& entry, std::optional<int> editRow) {
    platform::Table::Row row = {entry.Code, entry.Name, entry.Date, entry.Price, entry.Shares};
    if (!editRow) {
        holdings.AddRow(std::move(row));
        return true;
    }
    if (*editRow < 0 || *editRow >= holdings.RowCount()) return false;
    holdings.MutableRows()[static_cast<size_t>(*editRow)] = std::move(row);
    return true;
}

}  // namespace mirolanda::holdings
