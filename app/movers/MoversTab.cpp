#include "app/movers/MoversTab.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"
#include "app/widgets/Controls.h"
#include "app/widgets/QtText.h"
#include "app/widgets/TableModel.h"

namespace mirolanda::app {
namespace {

QLabel* Label(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

platform::Date DateOf(const QDate& d) { return {d.year(), d.month(), d.day()}; }
QDate QDateOf(const platform::Date& d) { return {d.Year, d.Month, d.Day}; }

}  // namespace

MoversTab::MoversTab(WindowServices& services, DatabaseProvider database, QWidget* parent)
    : QWidget(parent), services_(services), database_(std::move(database)) {
    auto* bar = new QHBoxLayout;
    CmbMoversKind = Named(new QComboBox, QStringLiteral("CmbMoversKind"));
    for (movers::Ranking r : movers::kRankings) CmbMoversKind->addItem(Q(movers::RankingCaption(r)));
    DtpMoversDate = Named(new QDateEdit, QStringLiteral("DtpMoversDate"));
    DtpMoversDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    DtpMoversDate->setCalendarPopup(true);
    CmbMoversSegment = Named(new QComboBox, QStringLiteral("CmbMoversSegment"));
    CmbMoversSegment->addItem(QStringLiteral("すべての市場"));
    auto* show = Named(new QPushButton(QStringLiteral("表示(&V)")), QStringLiteral("CmdMoversShow"));
    // Two rows, so that the tab fits the window's least width: what to rank, then which day and market.
    auto* which = new QHBoxLayout;
    bar->addWidget(Label(QStringLiteral("種類(&K)"), CmbMoversKind));
    bar->addWidget(CmbMoversKind);
    bar->addWidget(show);
    bar->addStretch(1);
    which->addWidget(Label(QStringLiteral("日付(&D)"), DtpMoversDate));
    which->addWidget(DtpMoversDate);
    which->addWidget(Label(QStringLiteral("市場(&M)"), CmbMoversSegment));
    which->addWidget(CmbMoversSegment);
    which->addStretch(1);

    rows_.SetHeading({"順位", "コード", "銘柄名", "市場", "終値", "前日比(%)", "出来高", ""});
    FgMoversModel = new TableModel(&rows_, this);
    FgMovers = Named(new QTableView, QStringLiteral("FgMovers"));
    FgMovers->setModel(FgMoversModel);
    FgMovers->setAccessibleName(QStringLiteral("ランキング"));
    FgMovers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FgMovers->setSelectionBehavior(QAbstractItemView::SelectRows);
    FgMovers->setSelectionMode(QAbstractItemView::SingleSelection);
    const int widths[] = {600, 700, 2400, 1200, 1000, 1000, 1300, 1400};
    for (int c = 0; c < 8; ++c) FgMoversModel->SetColumnWidthTwips(c, widths[c]);
    for (int c : {0, 4, 5, 6, 7}) FgMoversModel->SetColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    FgMoversModel->Reload();
    FgMoversModel->ConfigureView(FgMovers);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    page->addLayout(bar);
    page->addLayout(which);
    page->addWidget(FgMovers, 1);

    connect(show, &QPushButton::clicked, this, &MoversTab::CmdMoversShow_Click);
    connect(CmbMoversKind, &QComboBox::currentIndexChanged, this, &MoversTab::CmdMoversShow_Click);
    connect(CmbMoversSegment, &QComboBox::currentIndexChanged, this, &MoversTab::CmdMoversShow_Click);
    connect(DtpMoversDate, &QDateEdit::dateChanged, this, &MoversTab::CmdMoversShow_Click);
    // A double click on a row, or Enter (eventFilter), opens its chart.
    connect(FgMovers, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { AskForChart(index.row()); });
    FgMovers->installEventFilter(this);
}

bool MoversTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FgMovers && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AskForChart(FgMovers->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MoversTab::AskForChart(int row) {
    if (row >= 0 && static_cast<size_t>(row) < shown_.Rows.size()) emit ChartRequested(shown_.Rows[static_cast<size_t>(row)].Code);
}

// The grid goes first: while the children are torn down it may still read the rows, which are
// gone with the members before them.
MoversTab::~MoversTab() { delete FgMovers; }

void MoversTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (dated_) return;
    Guarded(services_, [&] {
        const auto history = database_();
        if (!history) {
            services_.Status().ShowStatus(QStringLiteral("株価のデータベースがありません (設定・保守で日々のCSVを取り込みます)"));
            return;
        }
        // The data date, or the newest day stored before it while its prices are not in yet.
        const auto dataDate = platform::ParseYmd(services_.DataDate());
        const auto day = movers::LatestDay(*history, dataDate.value_or(platform::Date{9999, 12, 31}));
        if (!day) return;
        dated_ = true;
        const QSignalBlocker quiet(DtpMoversDate);
        DtpMoversDate->setDate(QDateOf(*day));
        CmdMoversShow_Click();
    });
}

void MoversTab::CmdMoversShow_Click() {
    Guarded(services_, [&] {
        const auto history = database_();
        if (!history) {
            services_.Status().ShowStatus(QStringLiteral("株価のデータベースがありません (設定・保守で日々のCSVを取り込みます)"));
            return;
        }
        movers::MoversRequest request;
        request.Kind = movers::kRankings[static_cast<size_t>(std::max(0, CmbMoversKind->currentIndex()))];
        request.Day = DateOf(DtpMoversDate->date());
        if (CmbMoversSegment->currentIndex() > 0) request.Segment = CmbMoversSegment->currentText().toStdString();
        try {
            shown_ = movers::RankMovers(*history, request);
        } catch (const movers::MissingDay& e) {
            // Browsing the dates meets days without prices (holidays): said on the status line.
            shown_ = {request.Day, {}, {}};
            services_.Status().ShowStatus(Q(e.what()));
        }
        rows_.SetHeading({"順位", "コード", "銘柄名", "市場", "終値", "前日比(%)", "出来高",
                          std::string(movers::ValueCaption(request.Kind))});
        ShowRows();
        ShowSegments(shown_.Segments);
    });
}

void MoversTab::ShowRows() {
    rows_.ClearRows();
    const auto kind = movers::kRankings[static_cast<size_t>(std::max(0, CmbMoversKind->currentIndex()))];
    for (const auto& m : shown_.Rows) {
        rows_.AddRow({std::to_string(m.Rank), m.Code.Text(), m.Name, m.Segment, market::FormatTenths(m.Close),
                      m.ChangePercent ? movers::FormatHundredths(*m.ChangePercent) : "", std::to_string(m.Volume),
                      movers::FormatValue(kind, m.Value)});
    }
    FgMoversModel->Reload();
    if (!shown_.Rows.empty()) FgMovers->selectRow(0);
}

void MoversTab::ShowSegments(const std::vector<std::string>& segments) {
    // The day's segments, keeping the one chosen (a day without it shows an empty list).
    const QString chosen = CmbMoversSegment->currentIndex() > 0 ? CmbMoversSegment->currentText() : QString();
    const QSignalBlocker quiet(CmbMoversSegment);
    while (CmbMoversSegment->count() > 1) CmbMoversSegment->removeItem(1);
    for (const auto& s : segments) CmbMoversSegment->addItem(Q(s));
    if (!chosen.isEmpty() && CmbMoversSegment->findText(chosen) < 0) CmbMoversSegment->addItem(chosen);
    CmbMoversSegment->setCurrentIndex(chosen.isEmpty() ? 0 : CmbMoversSegment->findText(chosen));
}

}  // namespace mirolanda::app
