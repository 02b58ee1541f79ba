// The result grid the window shows a day in: a heading and seven text columns (code, name,
// open, high, low, close, volume), made from a day's snapshot at the screen's edge.
#pragma once

#include "market/DaySnapshot.h"
#include "platform/Table.h"

namespace mirolanda::quotes {

// Empties the grid, sets 7 columns and writes the heading row
// "銘柄コード", "銘柄名", "始値", "高値", "安値", "終値", "出来高".
void ResetResultGrid(platform::Table& grid);

// The day's rows under the heading, prices in whole yen as the daily CSV keeps them.
void ShowDayInGrid(const market::DaySnapshot& day, platform::Table& grid);

}  // namespace mirolanda::quotes
