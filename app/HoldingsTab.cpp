#include "app/HoldingsTab.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/BuyFrm.h"
#include "app/ChartCanvas.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/IntradayView.h"
#include "app/PictureArea.h"
#include "app/TableModel.h"
#include "app/WindowServices.h"
#include "holdings/BuyData.h"
#include "holdings/History.h"
#include "platform/Numbers.h"
#include "holdings/Picture.h"

namespace mirolanda::app {

HoldingsTab::HoldingsTab(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    holdings::ResetBuyGridTable(BuyGrid);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("TabBuy"));
    Pages->addTab(BuildManagementPage(), QStringLiteral("管理・日足"));
    Pages->addTab(BuildCurrentPage(), QStringLiteral("現況"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(Pages);
    Intraday = new IntradayView(services_, *this, [this] { RefreshBuyGrid(); });
}

HoldingsTab::~HoldingsTab() = default;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

holdings::BuyAlertSettings ToBuyAlerts(const AlertSettings& a) {
    return {a.UpOn, a.UpPercent, a.UpColor, a.DownOn, a.DownPercent, a.DownColor};
}

}  // namespace

void HoldingsTab::LoadAtStartup() {
    auto load = holdings::LoadBuyData(FgBuyTmp, services_.CurrentFolders().Setting);
    if (!load.Problems.empty()) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle, Q(load.Message()));
    }
    RefreshBuyGrid();
}

void HoldingsTab::RefreshBuyGrid() {
    // Resetting the model moves the current cell; nothing may be drawn for it meanwhile.
    BuyGridState = holdings::BuyGridState::No;
    holdings::HistoryFolder history(services_.CurrentFolders().StockData);
    holdings::BuyGrid grid = holdings::UpdateBuyGrid(FgBuyTmp, history, ToBuyAlerts(services_.CurrentAlerts()));
    BuyGrid = std::move(grid.Grid);
    FgBuyModel->Reload();
    for (size_t i = 0; i < grid.Marks.size(); ++i) {
        if (grid.Marks[i].CodeColour) {
            FgBuyModel->SetCellBackground(static_cast<int>(i), holdings::kGridCode, ColorFromBgr(*grid.Marks[i].CodeColour));
        }
    }
    // The grid has no current holding after a rebuild: no chart of a holding that may be gone.
    PicBuy->Clear();
    BuyGridState = holdings::BuyGridState::OK;
    if (!grid.Problems.empty()) {
        std::string text = "銘柄別データを読み込めませんでした。該当する銘柄の株価は表示されません。";
        for (const auto& problem : grid.Problems) text += "\n" + problem;
        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle, Q(text));
    }
}

int HoldingsTab::CurrentHolding() const {
    const int row = FgBuy->currentIndex().row();
    return row >= 0 && row < FgBuyTmp.RowCount() ? row : -1;
}

BuyFrm& HoldingsTab::MakeBuyDialog() {
    if (!buyFrm_) {
        buyFrm_ = new BuyFrm(services_, this);
        connect(buyFrm_, &BuyFrm::Confirmed, this, &HoldingsTab::ApplyPurchase);
    }
    return *buyFrm_;
}

void HoldingsTab::OpenBuyDialog() {
    if (const QWidget* main = services_.Window()) CentreOver(buyFrm_, main);
    buyFrm_->open();
    buyFrm_->activateWindow();
    buyFrm_->TxtMeigaraCode->setFocus();
}

void HoldingsTab::CmdBuyAdd_Click() {
    MakeBuyDialog().SetAddMode();
    OpenBuyDialog();
}

void HoldingsTab::CmdBuyMod_Click() {
    const int index = CurrentHolding();
    if (index < 0) return;  // no holding selected
    MakeBuyDialog().SetUpdateMode(index, FgBuyTmp.RowAt(index));
    OpenBuyDialog();
}

void HoldingsTab::FgBuy_DblClick() {
    CmdBuyMod_Click();
}

void HoldingsTab::ApplyPurchase(const holdings::BuyEntry& entry) {
    Guarded(services_, [&] {
        // The dialog is modal, so its row still exists; if not, never write into another one.
        if (!holdings::ApplyBuyEntry(FgBuyTmp, entry,
                                     buyFrm_->IsAdding() ? std::nullopt : std::optional<int>(buyFrm_->BuyEditRow()))) {
            buyFrm_->reject();
            return;
        }
        RefreshBuyGrid();
        buyFrm_->ResetFields();
        buyFrm_->accept();
        holdings::SaveBuyData(FgBuyTmp, services_.CurrentFolders().Setting);
    });
}

void HoldingsTab::CmdBuyDel_Click() {
    const int index = CurrentHolding();
    if (index < 0) return;
    const auto& row = FgBuyTmp.RowAt(index);
    const QString text = QStringLiteral("銘柄コード:") + Q(row[holdings::kBuyCode]) + QStringLiteral("\r銘柄名:") +
                         Q(row[holdings::kBuyName]) + QStringLiteral("\r購入日:") + Q(row[holdings::kBuyDate]) +
                         QStringLiteral("\rのデータを削除してもよろしいですか？");
    if (!services_.Dialog().AskYesNo(services_.Window(), QStringLiteral("削除の確認"), text)) return;
    Guarded(services_, [&] {
        FgBuyTmp.RemoveRow(index);
        RefreshBuyGrid();
        holdings::SaveBuyData(FgBuyTmp, services_.CurrentFolders().Setting);
    });
}

void HoldingsTab::FgBuy_EnterCell() {
    if (BuyGridState != holdings::BuyGridState::OK) return;
    const int index = CurrentHolding();
    if (index < 0) return;
    Guarded(services_, [&] {
        holdings::HistoryFolder history(services_.CurrentFolders().StockData);
        const auto record = history.Record(quotes::CodeOfCell(BuyGrid.Cell(index, holdings::kGridCode)));
        const auto& holding = FgBuyTmp.RowAt(index);
        ChartCanvas canvas(PicBuy->Image());
        holdings::DrawBuyChart(canvas, record, holding[holdings::kBuyDate], quotes::CodeOfCell(holding[holdings::kBuyCode]),
                               platform::CellToInt32(holding[holdings::kBuyPrice]));
    });
    PicBuy->update();
}

QWidget* HoldingsTab::BuildManagementPage() {
    auto* page = new QWidget;
    FgBuyModel = new TableModel(&BuyGrid, this);
    for (int c = 0; c < holdings::kGridColumns; ++c) {
        FgBuyModel->SetColumnWidthTwips(c, holdings::kGridWidths[static_cast<size_t>(c)]);
        if (c > 0) FgBuyModel->SetColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
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

    connect(CmdBuyAdd, &QPushButton::clicked, this, &HoldingsTab::CmdBuyAdd_Click);
    connect(CmdBuyMod, &QPushButton::clicked, this, &HoldingsTab::CmdBuyMod_Click);
    connect(CmdBuyDel, &QPushButton::clicked, this, &HoldingsTab::CmdBuyDel_Click);
    connect(FgBuy, &QTableView::doubleClicked, this, &HoldingsTab::FgBuy_DblClick);
    connect(FgBuy->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HoldingsTab::FgBuy_EnterCell);
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
