// The program folder's holiday list "Calender.txt" as the commands read it.
#pragma once

#include <filesystem>

#include "platform/Table.h"

namespace mirolanda::cli {

// Reads the list; lines it cannot read are reported once on stderr and close no day.
platform::Table LoadHolidayList(const std::filesystem::path& programFolder);

}  // namespace mirolanda::cli
