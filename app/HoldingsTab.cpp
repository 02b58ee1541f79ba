#include "app/HoldingsTab.h"

#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/PictureArea.h"
#include "app/TableModel.h"

namespace mirolanda::app {

HoldingsTab::HoldingsTab(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    BuyGrid.SetHeading({"コード", "買値", "株価", "上昇率"});
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("TabBuy"));
    Pages->addTab(BuildManagementPage(), QStringLiteral("管理・日足"));
    Pages->addTab(BuildCurrentPage(), QStringLiteral("現況"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(Pages);
}

HoldingsTab::~HoldingsTab() = default;

void HoldingsTab::LoadAtStartup() {}

QWidget* HoldingsTab::BuildManagementPage() {
    auto* page = new QWidget;
    FgBuyModel = new TableModel(&BuyGrid, this);
    const int widths[] = {700, 800, 800, 800};
    for (int c = 0; c < 4; ++c) FgBuyModel->SetColumnWidthTwips(c, widths[c]);
    for (int c = 1; c < 4; ++c) FgBuyModel->SetColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    FgBuy = Named(new QTableView(page), QStringLiteral("FgBuy"), {60, 60, 3390, 3375});
    FgBuy->setModel(FgBuyModel);
    FgBuyModel->ConfigureView(FgBuy);
    FgBuy->setSelectionBehavior(QAbstractItemView::SelectRows);
    FgBuy->setSelectionMode(QAbstractItemView::SingleSelection);
    FgBuy->setEditTriggers(QAbstractItemView::NoEditTriggers);

    PicBuy = Named(new PictureArea(page), QStringLiteral("PicBuy"), {3510, 60, 4335, 3375});
    CmdBuyAdd = MakeButton(page, QStringLiteral("CmdBuyAdd"), QStringLiteral("購入情報追加"), {60, 3540, 1300, 375});
    CmdBuyMod = MakeButton(page, QStringLiteral("CmdBuyMod"), QStringLiteral("購入情報編集"), {1420, 3540, 1300, 375});
    CmdBuyDel = MakeButton(page, QStringLiteral("CmdBuyDel"), QStringLiteral("購入情報削除"), {2780, 3540, 1300, 375});
    CmdOneNow[0] = MakeButton(page, QStringLiteral("CmdOneNow(0)"), QStringLiteral("最新情報更新"), {6345, 3540, 1500, 375});
    return page;
}

QWidget* HoldingsTab::BuildCurrentPage() {
    auto* page = new QWidget;
    lblDayMeigara = MakeLabel(page, {}, {60, 60, 6180, 300}, QStringLiteral("lblDayMeigara"));
    CmdOneNow[1] = MakeButton(page, QStringLiteral("CmdOneNow(1)"), QStringLiteral("最新情報更新"), {6345, 60, 1500, 375});
    PictOne = Named(new PictureArea(page), QStringLiteral("PictOne"), {60, 420, 6180, 2835});
    ScOne = Named(new QScrollBar(Qt::Horizontal, page), QStringLiteral("ScOne"), {60, 3270, 6180, 255});
    ScOne->setRange(1, 1);
    lblDayInfo = MakeLabel(page, {}, {60, 3585, 7785, 300}, QStringLiteral("lblDayInfo"));
    return page;
}

}  // namespace mirolanda::app
