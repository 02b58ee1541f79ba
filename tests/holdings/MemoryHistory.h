// Price histories held in memory for the holdings tests, and a quick way to build records.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "holdings/History.h"

namespace mirolanda::holdings::test {

// A record named `name` whose newest day is `newest` and each older entry one calendar day
// earlier, with the given closes (newest first).
quotes::IssueRecord MakeRecord(const std::string& name, const std::string& newest, const std::vector<int32_t>& closes);
// A record with explicit (date, close) days, newest first.
quotes::IssueRecord MakeRecordDays(const std::string& name, const std::vector<std::pair<std::string, int32_t>>& days);

class MemoryHistory final : public History {
public:
    std::map<market::IssueCode, quotes::IssueRecord> Records;
    mutable int Reads = 0;

    quotes::IssueRecord Record(const market::IssueCode& code) const override;
    std::string Name(const market::IssueCode& code) const override;
};

}  // namespace mirolanda::holdings::test
