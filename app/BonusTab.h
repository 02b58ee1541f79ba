// The tab "おまけ": two pages, "短期" (index 0, mode "Short") and "長期" (index 1, mode
// "Long"), each with its list table, chart picture, image scroll bar, notice and three
// buttons. Only the layout lives here so far; the commands are added beside it.
#pragma once

#include <QWidget>
#include <array>

#include "platform/Table.h"

class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QTableView;

namespace mirolanda::app {

class PictureArea;
class TableModel;
class WindowServices;

struct BonusPage {
    platform::Table List{4};  // date, state, image count, update stamp (hidden)
    QTableView* FgList = nullptr;
    TableModel* FgListModel = nullptr;
    PictureArea* PictChrt = nullptr;
    QScrollBar* Sc = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* CmdGetNewList = nullptr;
    QPushButton* CmdGetImage = nullptr;
    QPushButton* CmdUpdImage = nullptr;
};

class BonusTab final : public QWidget {
    Q_OBJECT
public:
    BonusTab(WindowServices& services, QWidget* parent = nullptr);
    ~BonusTab() override;

    // Start-up loading, once the settings are in place: loads both bonus lists.
    void LoadAtStartup();

    QTabWidget* Pages = nullptr;
    std::array<BonusPage, 2> Page;

    // The fixed notices of the two pages.
    static QString NoticeText(int index);

private:
    QWidget* BuildPage(int index);

    WindowServices& services_;
};

}  // namespace mirolanda::app
