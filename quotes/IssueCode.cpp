#include "quotes/IssueCode.h"

namespace mirolanda::quotes {
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

}  // namespace mirolanda::quotes
