#include "market/IssueCode.h"

#include "platform/Numbers.h"
#include "platform/TextFields.h"

namespace mirolanda::market {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The capital letters a code may hold: those that cannot be mistaken for a digit, in writing
// or aloud.
bool IsCodeLetter(char c) {
    return c >= 'A' && c <= 'Z' && std::string_view("BEIOQVZ").find(c) == std::string_view::npos;
}

}  // namespace

bool IsIssueCode(std::string_view text) {
    return text.size() == 4 && text[0] >= '1' && text[0] <= '9' && (IsDigit(text[1]) || IsCodeLetter(text[1])) &&
           IsDigit(text[2]) && (IsDigit(text[3]) || IsCodeLetter(text[3]));
}

std::optional<IssueCode> IssueCode::Parse(std::string_view text) {
    if (!IsIssueCode(text)) return std::nullopt;
    IssueCode code;
    code.text_ = std::string(text);
    return code;
}

bool IssueCode::IsNumeric() const {
    return IsValid() && IsDigit(text_[1]) && IsDigit(text_[3]);
}

std::optional<IssueCode> CodeFromText(std::string_view text) {
    std::string upper(platform::TrimBlanks(text));
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return IssueCode::Parse(upper);
}

IssueCode CodeOfCell(std::string_view cell) {
    if (auto code = CodeFromText(cell)) return *code;
    return IssueCode(platform::CellToInt16(cell));
}

}  // namespace mirolanda::market
