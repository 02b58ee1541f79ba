// The purchase dialog's rules without the dialog: what the code and date boxes show when they
// are left, the checks a confirmation runs in their order (what is refused, which box gets
// the focus, beep or message), and writing the accepted entry into the holdings table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "holdings/History.h"
#include "platform/Table.h"

namespace mirolanda::holdings {

inline constexpr std::string_view kNoDayPriceMessage = "該当日の株価データは存在しません";

// The five boxes of the dialog, as typed.
struct BuyEntry {
    std::string Code;
    std::string Name;  // the name label
    std::string Date;
    std::string Price;
    std::string Shares;
};

enum class BuyField { None, Code, Date, Price, Shares };
enum class BuyRefusal { None, UnknownIssue, EmptyDate, NoDayPrice, ZeroPrice, ZeroShares, NotANumber };

// A typed price or share count as the holdings file keeps it: blanks around dropped and
// digit-group commas taken out ("10,000" → "10000"), as the quote pages' numbers are read.
// Nothing for a text that is not a plain number: an optional '-', digits (in groups of three
// after the first when commas are used), at most one decimal point with digits after it.
std::optional<std::string> TypedAmount(std::string_view text);

struct BuyCheck {
    BuyRefusal Refusal = BuyRefusal::None;
    BuyField Focus = BuyField::None;  // the box to focus with its whole text selected
    bool Beep = false;
    std::string Message;  // shown with an exclamation icon when not empty
    bool Passed() const { return Refusal == BuyRefusal::None; }
};

// The name label after the code box is left: the name stored for the box's code (a code with
// letters in any case, else the text's leading number), padded to 60 characters, or "Unknown".
std::string NameForCodeBox(std::string_view codeText, const History& history);

// The code box's whole text as an issue code: blanks around, 1000–9999 or a code with letters
// in any case ("130a"); the number 0, no code, for anything else ("1301x", "abc", "").
market::IssueCode CodeFromWholeText(std::string_view codeText);

// The date box after it is left: "yyyy/mm/dd" for a text that reads as a date (2001/5/6,
// 2001-5-6, 2001.5.6, 20010506), nothing otherwise (the box then keeps its text).
std::optional<std::string> NormalizeBuyDate(std::string_view text);

// Runs the confirmation checks in order: the name is looked up again from the code box's
// whole text (and put into entry.Name), so a name found for a stale or partly numeric code is
// never written; then the date, the stored day of that date, the price and the shares. A
// price or share count is refused when it rounds to 0 or does not fit 32 bits, so the file
// never receives a value the dialog would have refused.
BuyCheck CheckBuyEntry(BuyEntry& entry, const History& history);

// Writes an accepted entry: appended when editRow is empty, else into row editRow. False when
// editRow no longer names a row (nothing is written then).
bool ApplyBuyEntry(platform::Table& holdings, const BuyEntry& entry, std::optional<int> editRow);

}  // namespace mirolanda::holdings
