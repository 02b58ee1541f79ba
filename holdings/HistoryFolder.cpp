// Kept apart from History.cpp so that code using only in-memory histories does not pull in
// the history file routines.
#include "holdings/History.h"

namespace mirolanda::holdings {

quotes::IssueRecord HistoryFolder::Record(const market::IssueCode& code) const {
    if (!code.IsValid()) return UnknownIssueRecord();
    return quotes::ReadIssueRecord(folder_, code);
}

std::string HistoryFolder::Name(const market::IssueCode& code) const {
    if (!code.IsValid()) return std::string(kUnknownName);
    return quotes::ReadIssueName(folder_, code);
}

}  // namespace mirolanda::holdings
