#include "holdings/History.h"

namespace mirolanda::holdings {

quotes::IssueRecord UnknownIssueRecord() {
    quotes::IssueRecord record;
    record.Name = std::string(kUnknownName) + std::string(quotes::kNameBytes - kUnknownName.size(), ' ');
    for (auto& day : record.Days) {
        day.Date = std::string(10, '\0');
        day.Price = 0;
    }
    return record;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool IsUnknownName(std::string_view name) {
    return TrimTrailingBlanks(name) == kUnknownName;
}

}  // namespace mirolanda::holdings
