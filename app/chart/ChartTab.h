// The tab 「チャート」: an issue chosen by code or name (completed from the issues the history
// knows), 日足/週足/月足, the three moving averages on or off and 「分割調整」, over the chart
// itself. Also opened from the holdings and download grids with Open().
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "charts/ChartData.h"
#include "market/MarketHistory.h"

class QCheckBox;
class QCompleter;
class QLineEdit;
class QRadioButton;
class QStringListModel;

namespace mirolanda::app {

class ChartView;
class WindowServices;

// Gives the market's history as it is now; asked each time a chart is read.
using HistoryProvider = std::function<std::shared_ptr<const market::MarketHistory>()>;

class ChartTab final : public QWidget {
    Q_OBJECT
public:
    ChartTab(WindowServices& services, HistoryProvider history, QWidget* parent = nullptr);

    // Shows the issue's chart, with a holding's purchase when given.
    void Open(const market::IssueCode& code, std::optional<charts::Purchase> holding = std::nullopt);
    // Reads the chart of the code or name in the entry again.
    void CmdChartShow_Click();

    ChartView& View() { return *PicChart; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    charts::Period SelectedPeriod() const;
    // The issue the entry names: a code, "7203 トヨタ自動車" as completed, or a name.
    std::optional<market::IssueCode> EnteredCode() const;
    void RefreshCompletion();
    // The candles' colours as the settings give them now (the settings page's controls included).
    void ApplyColours();
    void ShowAverageCaptions();

    WindowServices& services_;
    HistoryProvider history_;
    // The purchase of the holding the tab was opened for, drawn on that issue's chart only.
    std::optional<std::pair<market::IssueCode, charts::Purchase>> holding_;
    std::vector<market::IssueInfo> issues_;

    QLineEdit* TxtChartCode = nullptr;
    QStringListModel* completions_ = nullptr;
    std::array<QRadioButton*, 3> OptChartPeriod{};
    std::array<QCheckBox*, 3> ChkChartAverage{};
    QCheckBox* ChkChartAdjusted = nullptr;
    ChartView* PicChart = nullptr;
};

}  // namespace mirolanda::app
