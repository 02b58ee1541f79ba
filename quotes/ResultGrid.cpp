#include "quotes/ResultGrid.h"

#include <string>

namespace mirolanda::quotes {

void ResetResultGrid(platform::Table& grid) {
    grid.Clear();
    grid.SetColumnCount(7);
    grid.SetHeading({"銘柄コード", "銘柄名", "始値", "高値", "安値", "終値", "出来高"});
}

void ShowDayInGrid(const market::DaySnapshot& day, platform::Table& grid) {
    ResetResultGrid(grid);
    for (const market::SnapshotRow& row : day.Rows) {
        const market::Bar& bar = row.Prices;
        grid.AddRow({row.Code.Text(), row.Name, std::to_string(market::WholeYen(bar.Open)),
                     std::to_string(market::WholeYen(bar.High)), std::to_string(market::WholeYen(bar.Low)),
                     std::to_string(market::WholeYen(bar.Close)), std::to_string(bar.Volume)});
    }
}

}  // namespace mirolanda::quotes
