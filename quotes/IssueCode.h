// Issue codes as the exchange gives them: four characters, the first a digit 1–9, the third a
// digit, the second and fourth a digit or a capital letter other than B, E, I, O, Q, V and Z
// (the letters in use since 2024, e.g. "130A"). Numeric codes are the plain 1000–9999.
#pragma once

#include <string_view>

namespace mirolanda::quotes {

bool IsIssueCode(std::string_view text);

}  // namespace mirolanda::quotes
