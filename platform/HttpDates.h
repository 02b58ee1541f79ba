// The dates of HTTP headers: an IMF-fixdate ("Sun, 06 Nov 1994 08:49:37 GMT") and the
// Retry-After value, read by the HTTP client and the retry policy alike.
#pragma once

#include <optional>
#include <string_view>

namespace mirolanda::platform {

// Seconds from `now` (seconds since 1970, UTC) given by a Retry-After value: whole seconds or
// an HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT"); a date already past gives 0. Nothing for
// anything else.
std::optional<long> ParseRetryAfter(std::string_view value, long long now);
// Seconds since 1970 of an HTTP date in the IMF-fixdate form; nothing for another text.
std::optional<long long> ParseHttpDate(std::string_view text);

}  // namespace mirolanda::platform
