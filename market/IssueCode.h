// Issue codes, the one definition every reader of a code uses: four characters, the first a
// digit 1–9, the third a digit, the second and fourth a digit or a capital letter other than
// B, E, I, O, Q, V and Z (the exchange has given codes such as "130A" since 2024). Numeric
// codes are the plain 1000–9999 and keep their decimal form. A code's text names its history
// file ("130A.dat") and orders it: numeric codes by number, a code with letters after the
// numeric codes of the same prefix ("1301" < "130A" < "1310").
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::market {

// True for exactly the four characters of a code.
bool IsIssueCode(std::string_view text);

class IssueCode {
public:
    IssueCode() = default;
    // A numeric code as its decimal text. Implicit, so numeric code literals read as before;
    // a number outside 1000–9999 gives a text that is no code (no history file has that name).
    IssueCode(int number) : text_(std::to_string(number)) {}  // NOLINT(google-explicit-constructor)

    // The whole text as a code; nothing for any other text.
    static std::optional<IssueCode> Parse(std::string_view text);

    const std::string& Text() const { return text_; }
    bool IsValid() const { return IsIssueCode(text_); }
    bool IsNumeric() const;

    friend bool operator==(const IssueCode&, const IssueCode&) = default;
    friend std::strong_ordering operator<=>(const IssueCode& a, const IssueCode& b) { return a.text_ <=> b.text_; }

private:
    std::string text_;
};

// A code typed into a box or held in a table cell: blanks around it allowed and letters in any
// case ("130a"); nothing for any other text.
std::optional<IssueCode> CodeFromText(std::string_view text);

// The code of a holdings cell as the program has always read one: a code text (CodeFromText),
// else the cell's leading number held to 16 bits ("1301x" is 1301, "abc" is 0, no code).
IssueCode CodeOfCell(std::string_view cell);

}  // namespace mirolanda::market
