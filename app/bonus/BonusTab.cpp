#include "app/bonus/BonusTab.h"
#include "app/commands/FolderLockWait.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <filesystem>

#include "app/commands/BackgroundJob.h"
#include "app/commands/CancellableFetcher.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/ErrorBox.h"
#include "app/widgets/PictureArea.h"
#include "app/widgets/QtText.h"
#include "app/widgets/TableModel.h"
#include "app/commands/WindowServices.h"
#include "bonus/Omake.h"
#include "bonus/Publisher.h"
#include "platform/Numbers.h"

namespace mirolanda::app {
namespace {

const QString kNotice = QStringLiteral(
    "★注意★\r\n上記チャートは推奨株を掲載しているものではありません。\r\n"
    "私的な参考値を掲載しているにすぎません。だから「おまけ」なのです。\r\n"
    "株式投資は自己責任でお願い申し上げます。\r\n"
    "このチャートによる株式売買については、いかなる責任も負いません。予めご了承願います。\r\n");

const QString kAdjusting = QStringLiteral(
    "\r\n\r\n               ☆☆☆☆ ただ今調整中です 更新できません ☆☆☆☆\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");

const QString kAskTitle = QStringLiteral("最新チャートの作成");
const QString kDoneTitle = QStringLiteral("チャート作成完了");


// Fills a notice box with the notice: its lines as they are, but the indented headline centred
// instead (blanks that centre it in one width break it in another) and broken only between its
// words, however narrow the box.
void FillNotice(QPlainTextEdit* box, const QString& notice) {
    box->clear();
    QTextCursor cursor(box->document());
    const QStringList lines = QString(notice).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        QTextBlockFormat format;
        if (line.startsWith(QStringLiteral("  "))) {
            format.setAlignment(Qt::AlignHCenter);
            QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (QString& word : words) {
                QString joined;
                for (QChar c : word) {
                    if (!joined.isEmpty()) joined += QChar(0x2060);  // WORD JOINER: no break here
                    joined += c;
                }
                word = joined;
            }
            line = words.join(QLatin1Char(' '));
        }
        if (i > 0) {
            cursor.insertBlock(format);
        } else {
            cursor.setBlockFormat(format);
        }
        cursor.insertText(line);
    }
    box->moveCursor(QTextCursor::Start);
}

std::unique_ptr<platform::Fetcher> PublisherClient() {
    platform::HttpLimits limits;
    // The publisher's error pages are stored like any answer; the chart code tells them apart.
    limits.FailOnHttpError = false;
    limits.MaxBodyBytes = 4u << 20;
    // An image of 4 MB may take longer than a quote page's minute on a slow line.
    limits.TotalTimeoutMs = 300000;
    return std::make_unique<platform::HttpClient>(limits);
}

}  // namespace

BonusTab::BonusTab(WindowServices& services, std::unique_ptr<platform::Fetcher> fetcher, QWidget* parent)
    : QWidget(parent), services_(services), status_(services.Status()) {
    fetcher_ = std::make_unique<CancellableFetcher>(fetcher ? std::move(fetcher) : PublisherClient());
    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::StatusText, this, [this](const QString& text) { status_.ShowStatus(text); });
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("TabOmake"));
    pages->addTab(BuildPage(0), QStringLiteral("短期(&T)"));
    pages->addTab(BuildPage(1), QStringLiteral("長期(&L)"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(pages);
    Connect(0);
    Connect(1);
}

BonusTab::~BonusTab() { CancelAndWait(); }

QString BonusTab::NoticeText(int index) { return index == 0 ? kAdjusting + kNotice : kNotice; }

QWidget* BonusTab::BuildPage(int index) {
    auto* page = new QWidget;
    new AnchorLayout(page);
    BonusPage& p = Page[static_cast<size_t>(index)];
    bonus::ResetListTable(p.List);
    p.FgListModel = new TableModel(&p.List, this);
    for (int c = 0; c < bonus::kListColumns; ++c) p.FgListModel->SetColumnWidthTwips(c, bonus::kListWidthsTwips[c]);
    // The list and notice take a third of the extra width, the chart the rest; the list takes
    // most of the extra height, the notice the remainder.
    constexpr double kListShare = 0.35, kListHeight = 0.6;
    p.FgList = Named(new QTableView(page), Indexed("FgList", index), {60, 60, 2700, 2520}, {0, 0, kListShare, kListHeight});
    p.FgList->setModel(p.FgListModel);
    p.FgList->setAccessibleName(QStringLiteral("チャートの日付一覧"));
    p.FgListModel->ConfigureView(p.FgList);
    p.FgList->setSelectionBehavior(QAbstractItemView::SelectRows);
    p.FgList->setSelectionMode(QAbstractItemView::ContiguousSelection);
    p.FgList->setEditTriggers(QAbstractItemView::NoEditTriggers);

    p.Text1 = Named(new QPlainTextEdit(page), Indexed("Text1", index), {60, 2640, 2700, 1275},
                    {0, kListHeight, kListShare, 1 - kListHeight});
    p.Text1->setReadOnly(true);
    p.Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    p.Text1->setAccessibleName(QStringLiteral("お知らせ"));
    FillNotice(p.Text1, NoticeText(index));

    p.PictChrt = Named(new PictureArea(page), Indexed("PictChrt", index), {2820, 60, 5040, 3105}, {kListShare, 0, 1 - kListShare, 1});
    p.Sc = Named(new QScrollBar(Qt::Horizontal, page), Indexed("Sc", index), {2820, 3180, 5040, 255},
                 {kListShare, 1, 1 - kListShare, 0});
    p.Sc->setRange(1, 1);
    p.Sc->setFocusPolicy(Qt::StrongFocus);
    p.Sc->setAccessibleName(QStringLiteral("表示するチャート"));
    p.Sc->setAccessibleDescription(QStringLiteral("左右の矢印キーで作成済みのチャートを切り替えます"));
    p.PictChrt->setAccessibleName(QStringLiteral("チャート"));
    p.CmdGetNewList = MakeButton(page, Indexed("CmdGetNewList", index), QStringLiteral("最新リスト作成(&N)"), {2820, 3540, 1620, 375}, kBottomRight);
    p.CmdGetImage = MakeButton(page, Indexed("CmdGetImage", index), QStringLiteral("最新チャート作成(&C)"), {4530, 3540, 1620, 375}, kBottomRight);
    p.CmdUpdImage = MakeButton(page, Indexed("CmdUpdImage", index), QStringLiteral("自動チャート更新(&U)"), {6240, 3540, 1620, 375}, kBottomRight);
    return page;
}

void BonusTab::Connect(int index) {
    BonusPage& p = Page[static_cast<size_t>(index)];
    auto beepUnless = [this](bool started) {
        if (!started) services_.Dialog().Beep();
    };
    connect(p.CmdGetNewList, &QPushButton::clicked, this, [=, this] { beepUnless(CmdGetNewList_Click(index)); });
    connect(p.CmdGetImage, &QPushButton::clicked, this, [=, this] { beepUnless(CmdGetImage_Click(index)); });
    connect(p.CmdUpdImage, &QPushButton::clicked, this, [=, this] { beepUnless(CmdUpdImage_Click(index)); });
    connect(p.FgList, &QTableView::clicked, this, [=, this] { FgList_Click(index); });
    connect(p.FgList, &QTableView::doubleClicked, this, [=, this] { FgList_DblClick(index); });
    connect(p.FgList->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [=, this] {
        if (!quiet_) FgList_EnterCell(index);
    });
    connect(p.Sc, &QScrollBar::valueChanged, this, [=, this] {
        if (!quiet_) Sc_Change(index);
    });
}

void BonusTab::LoadAtStartup() {
    const auto omake = services_.CurrentFolders().Omake;
    for (int i = 0; i < 2; ++i) {
        Guarded(services_, [&] { bonus::ShowCurrentList(omake, bonus::ModeWord(i), Page[static_cast<size_t>(i)].List); });
        ReloadList(i);
    }
}

bool BonusTab::Busy() const { return job_->Busy(); }

void BonusTab::Cancel() { fetcher_->Cancel(); }

void BonusTab::CancelAndWait() {
    Cancel();
    job_->Wait();
}

bool BonusTab::CanStart() { return !Busy() && status_.DownloadState() != 1; }

bool BonusTab::CmdGetNewList_Click(int index) {
    if (!CanStart()) return false;
    const std::string mode = bonus::ModeWord(index);
    BeginNetworkCommand(status_, QStringLiteral("インターネット接続"));
    fetcher_->Reset();
    auto table = std::make_shared<platform::Table>();
    auto outcome = std::make_shared<bonus::ListOutcome>();
    platform::Progress progress = job_->WorkerProgress();
    job_->Start([this, setup = settings::PublisherSetupFrom(services_.LiveSettings()), mode, table, outcome, progress,
                 folder = services_.ProgramFolder()] {
                    const auto lock = WaitForWriterLock(folder, progress, [this] { return fetcher_->Cancelled(); });
                    *outcome = bonus::RequestNewList(*fetcher_, setup, mode, *table, progress);
                },
                [this, index, table, outcome](std::exception_ptr error) {
                    const bool cancelled = !error && outcome->Cancelled;
                    if (!error && outcome->Ok) {
                        Page[static_cast<size_t>(index)].List = std::move(*table);
                        ReloadList(index);
                        status_.ShowStatus({});
                    } else if (cancelled) {
                        status_.ShowStatus(kCancelledStatus);
                    } else if (!error) {
                        status_.ShowStatus(Q(outcome->Status), Q(outcome->Detail));
                    }
                    status_.SetDownloadState(!error && (outcome->Ok || cancelled) ? 0 : -1);
                    status_.SetTabsEnabled(true);
                    status_.SetCancellable(false);
                    if (error) {
                        status_.ShowStatus({});
                        ShowError(services_, error);
                    }
                    emit CommandFinished();
                });
    return true;
}

bool BonusTab::CmdGetImage_Click(int index, std::function<void()> then) {
    if (!CanStart()) return false;
    BonusPage& p = Page[static_cast<size_t>(index)];
    // The current row is where the selection began; the other end is where it ends.
    int b = p.FgList->currentIndex().row();
    if (b < 0 || b >= p.List.RowCount()) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Information, kAskTitle,
                                  QStringLiteral("行が選択されていません。チャートを作成する日付の行を選んでください。"));
        return true;
    }
    int a = b;
    const QModelIndexList rows = p.FgList->selectionModel()->selectedRows();
    if (!rows.isEmpty() && b >= 0) {
        int low = b, high = b;
        for (const QModelIndex& r : rows) low = std::min(low, r.row()), high = std::max(high, r.row());
        a = b == high ? low : high;
    }
    if (b != a) {
        const QString text = Q(p.List.Cell(a, bonus::kListDate)) + QStringLiteral("～") +
                             Q(p.List.Cell(b, bonus::kListDate)) + QStringLiteral("\rの最新チャートを作成しますか？");
        if (!services_.Dialog().AskYesNo(services_.Window(), kAskTitle, text, DefaultButton::Yes)) return true;
    }
    RunCharts(index, b == a,
              [a, b](const bonus::ChartJob& job, platform::Table& table) { return bonus::CreateCharts(job, table, a, b); },
              std::move(then));
    return true;
}

bool BonusTab::CmdUpdImage_Click(int index) {
    if (!CanStart()) return false;
    if (!services_.Dialog().AskYesNo(services_.Window(), kAskTitle, QStringLiteral("更新可能な全てのチャートを作成しますか？"),
                                     DefaultButton::Yes))
        return true;
    RunCharts(index, false,
              [](const bonus::ChartJob& job, platform::Table& table) { return bonus::UpdateAllCharts(job, table); }, {});
    return true;
}

void BonusTab::RunCharts(int index, bool oneRow, std::function<int(const bonus::ChartJob&, platform::Table&)> create,
                         std::function<void()> then) {
    status_.SetTabsEnabled(false);
    // No other network command may start while the images come in.
    stateBefore_ = status_.DownloadState();
    status_.SetDownloadState(1);
    status_.SetCancellable(true);
    listBefore_ = Page[static_cast<size_t>(index)].List;
    stored_.clear();
    imagesAsked_ = 0;
    lastImageOk_ = true;
    fetcher_->Reset();
    work_ = std::make_shared<platform::Table>(Page[static_cast<size_t>(index)].List);
    platform::Progress progress = job_->WorkerProgress();
    bonus::PublisherSetup setup = settings::PublisherSetupFrom(services_.LiveSettings());
    bonus::ChartJob job;
    job.OmakeFolder = setup.OmakeFolder;
    job.Mode = bonus::ModeWord(index);
    job.Progress = progress;
    job.Download = [this, setup, progress](const std::string& mode, const std::string& date8, int number,
                                           const std::filesystem::path& path) {
        QMetaObject::invokeMethod(this, [this] { status_.ResetResultGrid(); }, Qt::QueuedConnection);
        ++imagesAsked_;
        bonus::ImageFetch fetch = bonus::ImageDownload(*fetcher_, setup, mode, date8, number, path, progress);
        lastImageOk_ = fetch.Ok;
        if (fetch.Ok) stored_.push_back(path);  // read on the window's thread once the work has ended
        return fetch;
    };
    job.Cancelled = [this] { return fetcher_->Cancelled(); };
    // The worker writes states into its own copy; the shown table follows through the queue.
    job.StateChanged = [this, index](int row, const std::string& state) {
        QMetaObject::invokeMethod(this, [this, index, row, state] {
            BonusPage& p = Page[static_cast<size_t>(index)];
            if (row >= p.List.RowCount()) return;
            p.List.SetCell(row, bonus::kListState, state);
            emit p.FgListModel->dataChanged(p.FgListModel->index(row, 0), p.FgListModel->index(row, bonus::kListColumns - 1));
        }, Qt::QueuedConnection);
    };
    auto total = std::make_shared<int>(0);
    job_->Start([this, job, work = work_, create = std::move(create), total, folder = services_.ProgramFolder(),
                 progress = job_->WorkerProgress()] {
                    const auto lock = WaitForWriterLock(folder, progress, [this] { return fetcher_->Cancelled(); });
                    *total = create(job, *work);
                },
                [this, index, oneRow, total, then = std::move(then)](std::exception_ptr error) {
                    ChartsDone(index, oneRow, *total, error, then);
                });
}

void BonusTab::ChartsDone(int index, bool oneRow, int total, std::exception_ptr error, std::function<void()> then) {
    status_.SetCancellable(false);
    if (!error && fetcher_->Cancelled()) {
        // Nothing of a cancelled command stays: its images go, the list is as it was.
        for (const auto& path : stored_) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
        Page[static_cast<size_t>(index)].List = listBefore_;
        work_.reset();
        ReloadList(index);
        status_.ShowStatus(kCancelledStatus);
        status_.SetDownloadState(stateBefore_);
        status_.SetTabsEnabled(true);
        if (then) then();
        emit CommandFinished();
        return;
    }
    Page[static_cast<size_t>(index)].List = *work_;
    work_.reset();
    ReloadList(index);
    // The current row may have just got its images: show them without another click.
    FgList_EnterCell(index);
    // The state is that of the last image requested, as each download sets it.
    status_.SetDownloadState(error ? int16_t(-1) : imagesAsked_ == 0 ? stateBefore_ : lastImageOk_ ? int16_t(0) : int16_t(-1));
    if (error) {
        ShowError(services_, error);
    } else if (total < 1) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Information, kDoneTitle,
                                  QStringLiteral("チャート作成は行われませんでした"));
    } else if (!oneRow) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Information, kDoneTitle,
                                  QString::number(total) + QStringLiteral("枚のチャートを作成しました"));
    }
    status_.SetTabsEnabled(true);
    if (then) then();
    emit CommandFinished();
}

void BonusTab::FgList_Click(int index) { FgList_EnterCell(index); }

void BonusTab::FgList_DblClick(int index) {
    if (!CmdGetImage_Click(index)) services_.Dialog().Beep();
}

int BonusTab::PictureRow(int index) const {
    const BonusPage& p = Page[static_cast<size_t>(index)];
    const int r = p.FgList->currentIndex().row();
    return r >= 0 && r < p.List.RowCount() && bonus::HasStoredCharts(p.List.Cell(r, bonus::kListState)) ? r : -1;
}

void BonusTab::FgList_EnterCell(int index) {
    const int r = PictureRow(index);
    if (r < 0) {
        Page[static_cast<size_t>(index)].PictChrt->Clear();
        SetScroll(index, 1, 1);
        return;
    }
    ShowPicture(index, r, 1, true);
}

void BonusTab::Sc_Change(int index) {
    const int r = PictureRow(index);
    if (r >= 0) ShowPicture(index, r, Page[static_cast<size_t>(index)].Sc->value(), false);
}

// Loads image `number` of row `r`; a missing or unreadable file shows an empty picture.
void BonusTab::ShowPicture(int index, int r, int number, bool setPosition) {
    BonusPage& p = Page[static_cast<size_t>(index)];
    const std::string date = p.List.Cell(r, bonus::kListDate);
    const int count = platform::CellToInt16(p.List.Cell(r, bonus::kListCount));
    bool shown = false;
    if (bonus::IsChartDate(date)) {
        Guarded(services_, [&] {
            const auto path = bonus::ImageFilePathOf(services_.CurrentFolders().Omake, bonus::ModeWord(index), date, number);
            std::error_code ec;
            if (std::filesystem::is_regular_file(path, ec)) {
                p.PictChrt->ShowFile(Q(path.string()));
                shown = true;
            }
        });
    }
    if (!shown) p.PictChrt->Clear();
    if (setPosition) {
        SetScroll(index, shown ? count : 1, 1);
    } else {
        SetScroll(index, count, std::nullopt);
    }
}

void BonusTab::SetScroll(int index, int maximum, std::optional<int> position) {
    QScrollBar* sc = Page[static_cast<size_t>(index)].Sc;
    quiet_ = true;
    sc->setRange(1, std::max(1, maximum));
    if (position) sc->setValue(*position);
    quiet_ = false;
}

void BonusTab::ReloadList(int index) {
    BonusPage& p = Page[static_cast<size_t>(index)];
    const int row = p.FgList->currentIndex().row();
    quiet_ = true;
    p.FgListModel->Reload();
    p.FgListModel->ConfigureView(p.FgList);
    // The widths suit the narrow fonts of old desktops; never cut a date or a state short.
    for (int c = 0; c < bonus::kListStamp; ++c) {
        const int width = p.FgList->columnWidth(c);
        p.FgList->resizeColumnToContents(c);
        if (p.FgList->columnWidth(c) < width) p.FgList->setColumnWidth(c, width);
    }
    KeepColumnWidths(p.FgList);
    if (row >= 0 && row < p.List.RowCount()) p.FgList->setCurrentIndex(p.FgListModel->index(row, 0));
    quiet_ = false;
}

}  // namespace mirolanda::app
