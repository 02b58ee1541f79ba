// The J-Quants source's name and settings: its value of "QuoteSource", its keys in the settings
// file and their defaults. Plain constants, for the settings layer to list.
#pragma once

namespace mirolanda::jquants {

inline constexpr const char* kSettingName = "jquants";
inline constexpr const char* kApiUrlKey = "JQuantsApiUrl";
inline constexpr const char* kApiUrlDefault = "https://api.jquants.com/v2";
inline constexpr const char* kRequestsPerMinuteKey = "JQuantsRequestsPerMinute";
inline constexpr const char* kRequestsPerMinuteDefault = "5";
inline constexpr const char* kApiKeyKey = "JQuantsApiKey";

}  // namespace mirolanda::jquants
