// Which request numbers the simulator answers with which fault. Requests are numbered
// from 1 in arrival order (the /stats and /control requests are not counted).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::tools {

enum class FaultKind {
    None,
    Refuse,   // close the connection without an answer
    Reset,    // send the headers and part of the body, then reset the connection
    Stall,    // send the headers, then nothing until the stall time has passed
    Http500,  // an error status with a short error page
    Garbage,  // status 200 with random bytes as the body
    Maintenance,  // status 200 with a maintenance notice instead of the page asked for
    Cut,      // status 200 with the page cut in the middle of an issue row
    Fewer,    // status 200 with a page that lists only half of the requested issues
    Close,    // the answer says "Connection: close" and the connection is closed after it
    Drop,     // the answer keeps the connection alive, which is then closed without a word
    Drip,     // the answer's body comes one byte at a time, a byte per drip interval
    Huge,     // status 200 with a 10 MB page
    LongHeader,  // the answer carries a header line of 100 KB
    TooMany,  // 429 Too Many Requests (with Retry-After when the J-Quants options give one)
};

std::optional<FaultKind> ParseFaultKind(std::string_view text);
std::string_view FaultKindName(FaultKind kind);

struct FaultRule {
    FaultKind Kind = FaultKind::None;
    long First = 1;
    long Last = 1;  // inclusive
};

class FaultPlan {
public:
    // Adds a rule for a request list such as "5", "3,7", "10-12" or "20-" (20 and later).
    // Throws std::invalid_argument for a malformed list.
    void Add(FaultKind kind, std::string_view requests);
    // Parses "kind@requests;kind@requests…", e.g. "cut@2;http500@5-". Throws std::invalid_argument.
    static FaultPlan Parse(std::string_view text);
    // Adds the other plan's rules after this plan's.
    void Append(const FaultPlan& other) { rules_.insert(rules_.end(), other.rules_.begin(), other.rules_.end()); }

    // The fault of a request number: the first rule that covers it, else None.
    FaultKind At(long request) const;
    bool Empty() const { return rules_.empty(); }
    const std::vector<FaultRule>& Rules() const { return rules_; }

private:
    std::vector<FaultRule> rules_;
};

}  // namespace mirolanda::tools
