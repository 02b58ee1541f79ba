// The tab 「ランキング」: one of the day's rankings (値上がり率, 値下がり率, 売買高, 売買代金,
// 出来高急増, 年初来高値, 年初来安値) of a day (the data date by default) and a market segment,
// in a grid; a double click or Enter on a row asks for that issue's chart.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "market/MarketHistory.h"
#include "movers/Movers.h"
#include "platform/Table.h"

class QComboBox;
class QDateEdit;
class QTableView;

namespace mirolanda::app {

class TableModel;
class WindowServices;

// Gives the history database as it is now, or nothing while none has been made.
using DatabaseProvider = std::function<std::shared_ptr<const market::MarketHistory>()>;

class MoversTab final : public QWidget {
    Q_OBJECT
public:
    MoversTab(WindowServices& services, DatabaseProvider database, QWidget* parent = nullptr);
    ~MoversTab() override;

    // Ranks the chosen day again with the chosen ranking and segment.
    void CmdMoversShow_Click();
    const movers::Movers& Shown() const { return shown_; }

signals:
    void ChartRequested(const market::IssueCode& code);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AskForChart(int row);
    void ShowRows();
    void ShowSegments(const std::vector<std::string>& segments);

    WindowServices& services_;
    DatabaseProvider database_;
    movers::Movers shown_;
    platform::Table rows_{8};
    bool dated_ = false;  // the date was set once from the data date

    QComboBox* CmbMoversKind = nullptr;
    QDateEdit* DtpMoversDate = nullptr;
    QComboBox* CmbMoversSegment = nullptr;
    QTableView* FgMovers = nullptr;
    TableModel* FgMoversModel = nullptr;
};

}  // namespace mirolanda::app
