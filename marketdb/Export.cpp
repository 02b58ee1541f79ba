#include "marketdb/Export.h"

#include <algorithm>

namespace mirolanda::marketdb {
std::string ExportCsv(const std::vector<market::Bar>& bars) {
    std::string text = "date,open,high,low,close,volume\n";
    text.reserve(text.size() + bars.size() * 48);
    for (const market::Bar& b : bars) {
        text += platform::FormatDashed(b.Day);
        for (market::Tenths price : {b.Open, b.High, b.Low, b.Close}) text += "," + market::FormatTenths(price);
        text += "," + std::to_string(b.Volume) + "\n";
    }
    return text;
}

std::string ExportIssue(const market::MarketHistory& history, const market::IssueCode& code,
                        const platform::Date& from, const platform::Date& to, bool adjusted, Period period) {
    std::vector<market::Bar> traded = history.Series(code, from, to, adjusted).Bars;
    std::erase_if(traded, [](const market::Bar& bar) { return !bar.Traded(); });
    return ExportCsv(market::Aggregate(traded, period));
}

}  // namespace mirolanda::marketdb
