#include "app/BonusTab.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/PictureArea.h"
#include "app/TableModel.h"

namespace mirolanda::app {
namespace {

const QString kNotice = QStringLiteral(
    "★注意★\r\n上記チャートは推奨株を掲載しているものではありません。\r\n"
    "私的な参考値を掲載しているにすぎません。だから「おまけ」なのです。\r\n"
    "株式投資は自己責任でお願い申し上げます。\r\n"
    "このチャートによる株式売買については、いかなる責任も負いません。予めご了承願います。\r\n");

const QString kAdjusting = QStringLiteral(
    "\r\n\r\n               ☆☆☆☆ ただ今調整中です 更新できません ☆☆☆☆\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");

QString Indexed(const char* name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); }

}  // namespace

BonusTab::BonusTab(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("TabOmake"));
    Pages->addTab(BuildPage(0), QStringLiteral("短期"));
    Pages->addTab(BuildPage(1), QStringLiteral("長期"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(Pages);
}

BonusTab::~BonusTab() = default;

void BonusTab::LoadAtStartup() {}

QString BonusTab::NoticeText(int index) { return index == 0 ? kAdjusting + kNotice : kNotice; }

QWidget* BonusTab::BuildPage(int index) {
    auto* page = new QWidget;
    BonusPage& p = Page[static_cast<size_t>(index)];
    p.List.SetHeading({"日付", "状態", "数", "更新日"});
    p.FgListModel = new TableModel(&p.List, this);
    p.FgListModel->SetColumnWidthTwips(0, 1000);
    p.FgListModel->SetColumnWidthTwips(1, 800);
    p.FgListModel->SetColumnWidthTwips(2, 380);
    p.FgListModel->SetColumnWidthTwips(3, 0);
    p.FgList = Named(new QTableView(page), Indexed("FgList", index), {60, 60, 2700, 2520});
    p.FgList->setModel(p.FgListModel);
    p.FgListModel->ConfigureView(p.FgList);
    p.FgList->setSelectionBehavior(QAbstractItemView::SelectRows);
    p.FgList->setEditTriggers(QAbstractItemView::NoEditTriggers);

    p.Text1 = Named(new QPlainTextEdit(page), Indexed("Text1", index), {60, 2640, 2700, 1275});
    p.Text1->setReadOnly(true);
    p.Text1->setPlainText(QString(NoticeText(index)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    p.PictChrt = Named(new PictureArea(page), Indexed("PictChrt", index), {2820, 60, 5040, 3105});
    p.Sc = Named(new QScrollBar(Qt::Horizontal, page), Indexed("Sc", index), {2820, 3180, 5040, 255});
    p.Sc->setRange(1, 1);
    p.CmdGetNewList = MakeButton(page, Indexed("CmdGetNewList", index), QStringLiteral("最新リスト作成"), {2820, 3540, 1620, 375});
    p.CmdGetImage = MakeButton(page, Indexed("CmdGetImage", index), QStringLiteral("最新チャート作成"), {4530, 3540, 1620, 375});
    p.CmdUpdImage = MakeButton(page, Indexed("CmdUpdImage", index), QStringLiteral("自動チャート更新"), {6240, 3540, 1620, 375});
    return page;
}

}  // namespace mirolanda::app
