// The tab "持株情報": the holdings grid, its buttons and the price chart on "管理・日足", the
// intraday viewer on "現況", and the holdings' hidden tables. Only the layout lives here so
// far; the commands are added beside it.
#pragma once

#include <QWidget>
#include <array>

#include "platform/Table.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QTableView;

namespace mirolanda::app {

class PictureArea;
class TableModel;
class WindowServices;

class HoldingsTab final : public QWidget {
    Q_OBJECT
public:
    HoldingsTab(WindowServices& services, QWidget* parent = nullptr);
    ~HoldingsTab() override;

    // Start-up loading, once the settings are in place: loads the holdings file and rebuilds the grid.
    void LoadAtStartup();

    // The hidden holdings table (code, name, purchase date, price, shares; no heading row),
    // the grid's own table (heading row + one row per holding) and the quote table of the
    // intraday update (8 columns, no heading row).
    platform::Table FgBuyTmp{5};
    platform::Table BuyGrid{4};
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

private:
    QWidget* BuildManagementPage();
    QWidget* BuildCurrentPage();

    WindowServices& services_;
};

}  // namespace mirolanda::app
