#include "MemoryHistory.h"

#include "platform/Date.h"

namespace mirolanda::holdings::test {

quotes::IssueRecord MakeRecordDays(const std::string& name, const std::vector<std::pair<std::string, int32_t>>& days) {
    quotes::IssueRecord record;
    record.Name = name;
    // Padded the way the history file gives names back.
    while (record.Name.size() < 60) record.Name += ' ';
    for (auto& day : record.Days) {
        day.Date = std::string(10, ' ');
        day.Price = -1;
    }
    for (size_t i = 0; i < days.size() && i < record.Days.size(); ++i) {
        record.Days[i].Date = days[i].first;
        record.Days[i].Price = days[i].second;
    }
    return record;
}

quotes::IssueRecord MakeRecord(const std::string& name, const std::string& newest, const std::vector<int32_t>& closes) {
    auto date = *platform::ParseSlashed(newest);
    std::vector<std::pair<std::string, int32_t>> days;
    for (int32_t close : closes) {
        days.emplace_back(platform::FormatSlashed(date), close);
        date = platform::AddDays(date, -1);
    }
    return MakeRecordDays(name, days);
}

quotes::IssueRecord MemoryHistory::Record(const market::IssueCode& code) const {
    ++Reads;
    auto it = Records.find(code);
    return it == Records.end() ? UnknownIssueRecord() : it->second;
}

std::string MemoryHistory::Name(const market::IssueCode& code) const {
    auto it = Records.find(code);
    return it == Records.end() ? std::string(kUnknownName) : it->second.Name;
}

}  // namespace mirolanda::holdings::test
