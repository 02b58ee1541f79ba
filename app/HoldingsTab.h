// The tab "持株情報": the holdings grid, its buttons and the price chart on "管理・日足", the
// intraday viewer on "現況", and the holdings' hidden tables; the add, edit and delete
// commands and the chart drawn for the selected holding.
#pragma once

#include <QWidget>
#include <array>

#include "holdings/BuyEntry.h"
#include "holdings/BuyGrid.h"
#include "platform/Table.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QTabWidget;
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

    // "OK" once the grid is built; selection events draw nothing before or while it is shown.
    holdings::BuyGridState BuyGridState = holdings::BuyGridState::NotBuilt;

    // The hidden holdings table (code, name, purchase date, price, shares; no heading row),
    // the grid's own table (heading row + one row per holding) and the quote table of the
    // intraday update (8 columns, no heading row).
    platform::Table FgBuyTmp{5};
    platform::Table BuyGrid{holdings::kGridColumns};
    platform::Table FgOneTmp{8};

    QTabWidget* Pages = nullptr;
    // "管理・日足"
    QTableView* FgBuy = nullptr;
    TableModel* FgBuyModel = nullptr;
    QPushButton* CmdBuyAdd = nullptr;
    QPushButton* CmdBuyMod = nullptr;
    QPushButton* CmdBuyDel = nullptr;
    PictureArea* PicBuy = nullptr;
    std::array<QPushButton*, 2> CmdOneNow{};
    // "現況"
    PictureArea* PictOne = nullptr;
    QScrollBar* ScOne = nullptr;
    QLabel* lblDayInfo = nullptr;
    QLabel* lblDayMeigara = nullptr;
    // The intraday update (`CmdOneNow`) and the viewer over the controls above.
    IntradayView* Intraday = nullptr;

private:
    QWidget* BuildManagementPage();
    QWidget* BuildCurrentPage();
    // The holding of the grid's current row, −1 when no holding row is current.
    int CurrentHolding() const;
    // The purchase dialog, made at first use.
    BuyFrm& MakeBuyDialog();
    // Centres the dialog over the window and opens it with the focus in the code box.
    void OpenBuyDialog();
    // Writes a confirmed purchase into the table, rebuilds the grid and saves the file.
    void ApplyPurchase(const holdings::BuyEntry& entry);

    WindowServices& services_;
    BuyFrm* buyFrm_ = nullptr;
};

}  // namespace mirolanda::app
