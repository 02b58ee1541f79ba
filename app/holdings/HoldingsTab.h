// The tab "持株情報": the holdings grid, its buttons and the price chart on "管理・日足", the
// intraday viewer's page "現況", and the holdings' tables; the add, edit and delete commands
// and the chart drawn for the selected holding.
#pragma once

#include <QString>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "holdings/BuyEntry.h"
#include "holdings/BuyGrid.h"
#include "platform/Table.h"

class QPushButton;
class QTableView;

namespace mirolanda::app {

// A holding that has just reached its rise or fall threshold, as a notification says it.
struct CrossedAlert {
    QString Title;
    QString Text;  // «1002 ㈱関西化学 上昇率 131.2%»
};

class BuyFrm;
class IntradayView;
class PictureArea;
class TableModel;
class WindowServices;

class HoldingsTab final : public QWidget {
    Q_OBJECT
public:
    HoldingsTab(WindowServices& services, QWidget* parent = nullptr);
    ~HoldingsTab() override;

    // Start-up loading, once the settings are in place: loads the holdings file and rebuilds the
    // grid. Unreadable lines of the file are reported once; the good ones load.
    void LoadAtStartup();

    // Rebuilds the grid from the holdings table and the history files, with the alert
    // settings as the controls hold them now. Run after every change of holdings or prices.
    // Gives the holdings marked now that were not at the previous rebuild.
    std::vector<CrossedAlert> RefreshBuyGrid();
    // Rebuilds the grid (after a download or an intraday update) and gives the holdings that
    // are marked now but were not at the previous rebuild (nothing at the very first one);
    // AlertsCrossed tells them too.
    std::vector<CrossedAlert> RefreshAndFindCrossings();

    void CmdBuyAdd_Click();
    void CmdBuyMod_Click();
    void CmdBuyDel_Click();
    void FgBuy_DblClick();
    // Draws the chart of the current holding.
    void FgBuy_EnterCell();

    // Both `CmdOneNow` buttons, off while any command runs.
    void SetUpdateEnabled(bool enabled);

    // The purchase dialog, once it has been opened.
    BuyFrm* BuyDialog() const { return buyFrm_; }
    // The page "現況" with the intraday update.
    IntradayView* Intraday() const { return intraday_; }

    // The holdings table (code, name, purchase date, price, shares; no heading row) and the
    // grid's own table (heading row + one row per holding).
    const platform::Table& Holdings() const { return FgBuyTmp; }
    const platform::Table& Grid() const { return BuyGrid; }
    // "OK" once the grid is built; selection events draw nothing before or while it is shown.
    holdings::BuyGridState GridState() const { return BuyGridState; }

signals:
    void AlertsCrossed(const std::vector<CrossedAlert>& alerts);

private:
    QWidget* BuildManagementPage();
    // The holding of the grid's current row, −1 when no holding row is current.
    int CurrentHolding() const;
    // The purchase dialog, made at first use.
    BuyFrm& MakeBuyDialog();
    // Centres the dialog over the window and opens it with the focus in the code box.
    void OpenBuyDialog();
    // Writes a confirmed purchase into the table, rebuilds the grid and saves the file.
    void ApplyPurchase(const holdings::BuyEntry& entry);
    // Writes the holdings file as the table is now (once no other writer holds the folder).
    void SaveHoldings();
    // Remembers which holdings are marked; gives those that were not marked before.
    std::vector<CrossedAlert> NoteAlerts(const std::vector<holdings::BuyRowMark>& marks);

    WindowServices& services_;
    holdings::BuyGridState BuyGridState = holdings::BuyGridState::NotBuilt;
    platform::Table FgBuyTmp{5};
    platform::Table BuyGrid{holdings::kGridColumns};
    QTableView* FgBuy = nullptr;
    TableModel* FgBuyModel = nullptr;
    QPushButton* CmdOneNow0 = nullptr;
    PictureArea* PicBuy = nullptr;
    IntradayView* intraday_ = nullptr;
    BuyFrm* buyFrm_ = nullptr;
    std::set<std::string> marked_;
    bool alertsKnown_ = false;
};

}  // namespace mirolanda::app
