// The tab "持株情報": the holdings grid, its buttons and the price chart on "管理・日足", the
// intraday viewer's page "現況", and the holdings' tables; the add, edit and delete commands
// and the chart drawn for the selected holding.
#pragma once

#include <QWidget>

#include "holdings/BuyEntry.h"
#include "holdings/BuyGrid.h"
#include "platform/Table.h"

class QTableView;

namespace mirolanda::app {

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
    void RefreshBuyGrid();

    void CmdBuyAdd_Click();
    void CmdBuyMod_Click();
    void CmdBuyDel_Click();
    void FgBuy_DblClick();
    // Draws the chart of the current holding.
    void FgBuy_EnterCell();

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

    WindowServices& services_;
    holdings::BuyGridState BuyGridState = holdings::BuyGridState::NotBuilt;
    platform::Table FgBuyTmp{5};
    platform::Table BuyGrid{holdings::kGridColumns};
    QTableView* FgBuy = nullptr;
    TableModel* FgBuyModel = nullptr;
    PictureArea* PicBuy = nullptr;
    IntradayView* intraday_ = nullptr;
    BuyFrm* buyFrm_ = nullptr;
};

}  // namespace mirolanda::app
