#include "holdings/BuyEntry.h"

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

}  // namespace

BuyCheck CheckBuyEntry(BuyEntry& entry, const History& history) {
    const market::IssueCode code = CodeFromWholeText(entry.Code);
    entry.Name = history.Name(code);
    if (IsUnknownName(entry.Name)) return {BuyRefusal::UnknownIssue, BuyField::Code, true, {}};

    if (auto date = NormalizeBuyDate(entry.Date)) entry.Date = *date;
    if (entry.Date.empty()) return {BuyRefusal::EmptyDate, BuyField::Date, true, {}};

    if (!HasDay(history.Record(code), entry.Date)) {
        return {BuyRefusal::NoDayPrice, BuyField::None, false, std::string(kNoDayPriceMessage)};
    }
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
