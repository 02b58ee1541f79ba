#include "tools/FaultPlan.h"

#include <array>
#include <charconv>
#include <climits>
#include <stdexcept>
#include <utility>

namespace mirolanda::tools {
namespace {

constexpr std::array<std::pair<FaultKind, std::string_view>, 14> kNames = {{
    {FaultKind::Refuse, "refuse"},
    {FaultKind::Reset, "reset"},
    {FaultKind::Stall, "stall"},
    {FaultKind::Http500, "http500"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Maintenance, "maintenance"},
    {FaultKind::Cut, "cut"},
    {FaultKind::Fewer, "fewer"},
    {FaultKind::Close, "close"},
    {FaultKind::Drop, "drop"},
    {FaultKind::Drip, "drip"},
    {FaultKind::Huge, "huge"},
    {FaultKind::LongHeader, "longheader"},
    {FaultKind::TooMany, "http429"},
}};

long RequestNumber(std::string_view text, std::string_view whole) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) {
        throw std::invalid_argument("bad request list \"" + std::string(whole) + "\"");
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::optional<FaultKind> ParseFaultKind(std::string_view text) {
    for (const auto& [kind, name] : kNames)
        if (name == text) return kind;
    return std::nullopt;
}

std::string_view FaultKindName(FaultKind kind) {
    for (const auto& [k, name] : kNames)
        if (k == kind) return name;
    return "none";
}

void FaultPlan::Add(FaultKind kind, std::string_view requests) {
    for (std::string_view piece : Split(requests, ',')) {
        size_t dash = piece.find('-');
        FaultRule rule{kind, 0, 0};
        if (dash == std::string_view::npos) {
            rule.First = rule.Last = RequestNumber(piece, requests);
        } else {
            rule.First = RequestNumber(piece.substr(0, dash), requests);
            std::string_view last = piece.substr(dash + 1);
            rule.Last = last.empty() ? LONG_MAX : RequestNumber(last, requests);
            if (rule.Last < rule.First) throw std::invalid_argument("bad request list \"" + std::string(requests) + "\"");
        }
        rules_.push_back(rule);
    }
}

FaultPlan FaultPlan::Parse(std::string_view text) {
    FaultPlan plan;
    if (text.empty()) return plan;
    for (std::string_view entry : Split(text, ';')) {
        size_t at = entry.find('@');
        auto kind = ParseFaultKind(entry.substr(0, at));
        if (at == std::string_view::npos || !kind) {
            throw std::invalid_argument("bad fault \"" + std::string(entry) + "\" (want kind@requests)");
        }
        plan.Add(*kind, entry.substr(at + 1));
    }
    return plan;
}

FaultKind FaultPlan::At(long request) const {
    for (const auto& rule : rules_)
        if (request >= rule.First && request <= rule.Last) return rule.Kind;
    return FaultKind::None;
}

}  // namespace mirolanda::tools
