#include "app/download/AutoDownloadRules.h"

#include <algorithm>

namespace mirolanda::app {
namespace {

// The value of a part made only of ASCII digits (at most four of them); nothing otherwise.
std::optional<int> DigitsValue(std::string_view part) {
    if (part.empty() || part.size() > 4) return std::nullopt;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

bool IsAutoDownloadDue(const AutoTick& tick) {
    if (!tick.AutoOn || tick.DownloadState == 1) return false;
    if (tick.LastAuto == tick.DataDate) return false;
    if (tick.RetryAt && platform::SecondsFromCivil(tick.Now) < platform::SecondsFromCivil(*tick.RetryAt)) return false;
    const std::string& t = tick.StartTime;
    bool earlyWindow = t >= "00:00" && t < "09:00";
    if (earlyWindow && platform::FormatYmd(tick.Now.Day) == tick.DataDate) return false;
    return platform::FormatHhMm(tick.Now) >= t;
}

int RetryDelayMinutes(int failures) {
    int minutes = 5;
    for (int n = 1; n < failures && minutes < 120; ++n) minutes *= 2;
    return std::min(minutes, 120);
}

std::optional<std::string> NormaliseStartTime(std::string_view text) {
    std::string_view hour, minute;
    size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        if (text.size() != 4) return std::nullopt;
        hour = text.substr(0, 2);
        minute = text.substr(2, 2);
    } else {
        hour = text.substr(0, colon);
        minute = text.substr(colon + 1, 2);
    }
    auto h = DigitsValue(hour);
    auto m = DigitsValue(minute);
    if (!h || *h > 24 || !m || *m > 59) return std::nullopt;
    return platform::FormatHhMm({{}, *h, *m});
}

}  // namespace mirolanda::app
