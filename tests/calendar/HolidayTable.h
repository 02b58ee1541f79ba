// A holiday table with the given rows, for the calendar tests.
#pragma once

#include <utility>
#include <vector>

#include "calendar/Calender.h"

namespace mirolanda::calendar {

inline platform::Table Holidays(std::vector<platform::Table::Row> rows) {
    platform::Table table;
    ResetHolidayTable(table);
    for (auto& row : rows) table.AddRow(std::move(row));
    return table;
}

}  // namespace mirolanda::calendar
