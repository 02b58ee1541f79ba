#include "app/holdings/HoldingsTab.h"
#include "app/commands/FolderLockWait.h"

#include <QItemSelectionModel>
#include <set>
#include <utility>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/holdings/BuyFrm.h"
#include "painter/ChartCanvas.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/ErrorBox.h"
#include "app/holdings/IntradayView.h"
#include "app/widgets/PictureArea.h"
#include "app/widgets/QtText.h"
#include "app/widgets/TableModel.h"
#include "settings/MarketSplits.h"
#include "app/commands/WindowServices.h"
#include "holdings/BuyData.h"
#include "holdings/History.h"
#include "holdings/Picture.h"
#include "platform/Numbers.h"

namespace mirolanda::app {

HoldingsTab::HoldingsTab(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    holdings::ResetBuyGridTable(BuyGrid);
    intraday_ = new IntradayView(services_, FgBuyTmp, BuyGrid, [this] { RefreshAndFindCrossings(); });
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("TabBuy"));
    pages->addTab(BuildManagementPage(), QStringLiteral("管理・日足(&K)"));
    pages->addTab(intraday_, QStringLiteral("現況(&N)"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(pages);
}

HoldingsTab::~HoldingsTab() = default;

void HoldingsTab::LoadAtStartup() {
    auto load = holdings::LoadBuyData(FgBuyTmp, services_.CurrentFolders().Setting);
    if (!load.Problems.empty()) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle, Q(load.Message()));
    }
    RefreshBuyGrid();
}

std::vector<CrossedAlert> HoldingsTab::RefreshBuyGrid() {
    // Resetting the model moves the current cell; nothing may be drawn for it meanwhile.
    BuyGridState = holdings::BuyGridState::No;
    holdings::HistoryFolder history(services_.CurrentFolders().StockData);
    // Splits from the market database, when there is one; without it the rates are as stored.
    std::string unread;
    const holdings::SplitsOf splits = settings::MarketSplitsFrom(services_.LiveSettings(), unread);
    holdings::BuyGrid grid =
        holdings::UpdateBuyGrid(FgBuyTmp, history, settings::AlertsFrom(services_.LiveSettings()), splits);
    BuyGrid = std::move(grid.Grid);
    std::vector<CrossedAlert> crossed = NoteAlerts(grid.Marks);
    FgBuyModel->Reload();
    for (size_t i = 0; i < grid.Marks.size(); ++i) {
        if (grid.Marks[i].CodeColour) {
            FgBuyModel->SetCellBackground(static_cast<int>(i), holdings::kGridCode, ColorFromBgr(*grid.Marks[i].CodeColour));
        }
        // A rate taken across a split is marked, the tooltip naming the split.
        if (!grid.Marks[i].SplitNote.empty()) FgBuyModel->SetRowNote(static_cast<int>(i), Q(grid.Marks[i].SplitNote));
    }
    // The grid has no current holding after a rebuild: no chart of a holding that may be gone.
    PicBuy->Clear();
    BuyGridState = holdings::BuyGridState::OK;
    if (!grid.Problems.empty()) {
        std::string text = "銘柄別データを読み込めませんでした。該当する銘柄の株価は表示されません。";
        for (const auto& problem : grid.Problems) text += "\n" + problem;
        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle, Q(text));
    }
    return crossed;
}

std::vector<CrossedAlert> HoldingsTab::RefreshAndFindCrossings() {
    std::vector<CrossedAlert> crossed = RefreshBuyGrid();
    if (!crossed.empty()) emit AlertsCrossed(crossed);
    return crossed;
}

std::vector<CrossedAlert> HoldingsTab::NoteAlerts(const std::vector<holdings::BuyRowMark>& marks) {
    std::set<std::string> marked;
    std::vector<CrossedAlert> crossed;
    for (size_t i = 0; i < marks.size() && static_cast<int>(i) < FgBuyTmp.RowCount(); ++i) {
        if (marks[i].Alert == holdings::BuyAlert::None) continue;
        const auto& row = FgBuyTmp.RowAt(static_cast<int>(i));
        const bool up = marks[i].Alert == holdings::BuyAlert::Up;
        // A holding is one purchase: the same code bought twice alerts twice.
        std::string key = (up ? "+" : "-");
        for (const std::string& cell : row) key += "\t" + cell;
        marked.insert(key);
        if (!alertsKnown_ || marked_.count(key)) continue;
        const double rate = platform::LeadingNumber(BuyGrid.Cell(static_cast<int>(i), holdings::kGridRate));
        crossed.push_back({up ? QStringLiteral("値上がりの通知") : QStringLiteral("値下がりの通知"),
                            Q(row[holdings::kBuyCode]) + QLatin1Char(' ') + Q(row[holdings::kBuyName]) +
                                QStringLiteral(" 上昇率 ") + QString::number(rate, 'f', 1) + QLatin1Char('%')});
    }
    marked_ = std::move(marked);
    alertsKnown_ = true;
    return crossed;
}

void HoldingsTab::SetUpdateEnabled(bool enabled) {
    CmdOneNow0->setEnabled(enabled);
    intraday_->SetUpdateEnabled(enabled);
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
    buyFrm_->FocusCode();
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
        SaveHoldings();
    });
}

void HoldingsTab::CmdBuyDel_Click() {
    const int index = CurrentHolding();
    if (index < 0) return;
    const auto& row = FgBuyTmp.RowAt(index);
    const QString text = QStringLiteral("銘柄コード:") + Q(row[holdings::kBuyCode]) + QStringLiteral("\r銘柄名:") +
                         Q(row[holdings::kBuyName]) + QStringLiteral("\r購入日:") + Q(row[holdings::kBuyDate]) +
                         QStringLiteral("\rのデータを削除してもよろしいですか？");
    if (!services_.Dialog().AskYesNo(services_.Window(), QStringLiteral("削除の確認"), text, DefaultButton::No)) return;
    Guarded(services_, [&] {
        FgBuyTmp.RemoveRow(index);
        RefreshBuyGrid();
        SaveHoldings();
    });
}

void HoldingsTab::SaveHoldings() {
    // Written as the table is now, once no other writer holds the program folder.
    WriteWhenUnlocked(services_, this, [this, table = FgBuyTmp, folder = services_.CurrentFolders().Setting] {
        holdings::SaveBuyData(table, folder);
    });
}

void HoldingsTab::FgBuy_EnterCell() {
    if (BuyGridState != holdings::BuyGridState::OK) return;
    const int index = CurrentHolding();
    if (index < 0) return;
    Guarded(services_, [&] {
        holdings::HistoryFolder history(services_.CurrentFolders().StockData);
        auto record = history.Record(market::CodeOfCell(BuyGrid.Cell(index, holdings::kGridCode)));
        // Drawn again at every change of the picture's size, for the size it has then.
        PicBuy->Draw([record = std::move(record), holding = FgBuyTmp.RowAt(index)](QImage& image) {
            painter::ChartCanvas canvas(image);
            holdings::DrawBuyChart(canvas, record, holding[holdings::kBuyDate],
                                   market::CodeOfCell(holding[holdings::kBuyCode]),
                                   platform::CellToInt32(holding[holdings::kBuyPrice]));
        });
    });
}

QWidget* HoldingsTab::BuildManagementPage() {
    auto* page = new QWidget;
    new AnchorLayout(page);
    FgBuyModel = new TableModel(&BuyGrid, this);
    for (int c = 0; c < holdings::kGridColumns; ++c) {
        FgBuyModel->SetColumnWidthTwips(c, holdings::kGridWidths[static_cast<size_t>(c)]);
        if (c > 0) FgBuyModel->SetColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The grid takes somewhat less than half of the extra width, the chart the rest.
    constexpr double kGridShare = 0.44;
    FgBuy = Named(new QTableView(page), QStringLiteral("FgBuy"), {60, 60, 3390, 3375}, {0, 0, kGridShare, 1});
    FgBuy->setModel(FgBuyModel);
    FgBuy->setAccessibleName(QStringLiteral("持株一覧"));
    FgBuy->setItemDelegate(new MarkedCellDelegate(FgBuy));
    FgBuyModel->ConfigureView(FgBuy);
    FgBuy->setSelectionBehavior(QAbstractItemView::SelectRows);
    FgBuy->setSelectionMode(QAbstractItemView::SingleSelection);
    FgBuy->setEditTriggers(QAbstractItemView::NoEditTriggers);

    PicBuy = Named(new PictureArea(page), QStringLiteral("PicBuy"), {3510, 60, 4335, 3375}, {kGridShare, 0, 1 - kGridShare, 1});
    PicBuy->setAccessibleName(QStringLiteral("持株のチャート"));
    auto* add = MakeButton(page, QStringLiteral("CmdBuyAdd"), QStringLiteral("購入情報追加(&A)"), {60, 3540, 1300, 375}, kBottom);
    auto* edit = MakeButton(page, QStringLiteral("CmdBuyMod"), QStringLiteral("購入情報編集(&E)"), {1420, 3540, 1300, 375}, kBottom);
    auto* remove = MakeButton(page, QStringLiteral("CmdBuyDel"), QStringLiteral("購入情報削除(&R)"), {2780, 3540, 1300, 375}, kBottom);
    auto* update = CmdOneNow0 = MakeButton(page, QStringLiteral("CmdOneNow(0)"), QStringLiteral("最新情報更新(&U)"), {6345, 3540, 1500, 375}, kBottomRight);

    connect(add, &QPushButton::clicked, this, &HoldingsTab::CmdBuyAdd_Click);
    connect(edit, &QPushButton::clicked, this, &HoldingsTab::CmdBuyMod_Click);
    connect(remove, &QPushButton::clicked, this, &HoldingsTab::CmdBuyDel_Click);
    connect(update, &QPushButton::clicked, this, [this] {
        if (!intraday_->CmdOneNow_Click(0)) services_.Dialog().Beep();
    });
    connect(FgBuy, &QTableView::doubleClicked, this, &HoldingsTab::FgBuy_DblClick);
    connect(FgBuy->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HoldingsTab::FgBuy_EnterCell);
    return page;
}

}  // namespace mirolanda::app
