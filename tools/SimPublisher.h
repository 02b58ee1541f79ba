// The publisher's server as the simulator plays it: the chart-date lists of the short-term
// and long-term modes, and their chart images, served as JPEG bytes XOR-ed with the key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"

namespace mirolanda::tools {

inline constexpr uint8_t kScrambleKey = 0x6B;

struct ChartDate {
    platform::Date Day;
    int Flag = 1;       // 1: charts can be created; 0: not available
    int Count = 0;      // images of the date
    std::string Stamp;  // update mark "yyyymmdd"; grows as the market date moves on
};

// The charts of a mode ("Short" or "Long") as of the market date, newest first: Short the
// last ten weekdays, Long the last six Fridays. Nothing for another mode word.
std::vector<ChartDate> PublisherCharts(std::string_view mode, const platform::Date& marketDay, uint64_t seed);

// The list answer: one line per chart date, yyyymmdd,flag,count,"stamp", CR LF.
std::string ListAnswer(const std::vector<ChartDate>& charts);

// The plain JPEG of image `number` of a chart date, or nothing when the mode does not list
// the date as available or the number is outside 1…count. Always longer than 1,025 bytes.
std::optional<std::string> ChartJpeg(std::string_view mode, const platform::Date& marketDay, uint64_t seed,
                                     std::string_view date8, int number);

// XOR with the key; applying it twice restores the bytes.
void Scramble(std::string& bytes);

}  // namespace mirolanda::tools
