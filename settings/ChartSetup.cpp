#include "settings/ChartSetup.h"

#include "quotes/CsvHistory.h"
#include "settings/Keys.h"

namespace mirolanda::settings {

std::shared_ptr<const market::MarketHistory> OpenMarketHistory(const platform::Folders& folders) {
    return std::make_shared<quotes::CsvHistory>(folders.CsvData);
}

charts::ChartColours ChartColoursFrom(const Snapshot& settings) {
    charts::ChartColours colours;
    colours.Up = settings.Color(keys::ChartUpColor);
    colours.Down = settings.Color(keys::ChartDownColor);
    return colours;
}

}  // namespace mirolanda::settings
