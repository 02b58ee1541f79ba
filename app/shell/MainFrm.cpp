#include "app/shell/MainFrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QTableView>
#include <algorithm>
#include <cmath>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>

#include "app/download/AutoDownload.h"
#include "app/settings/AutoSettingsPage.h"
#include "app/bonus/BonusTab.h"
#include "app/calendar/CalFrm.h"
#include "app/calendar/CalendarTab.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/download/DownloadReport.h"
#include "app/widgets/ElidedLabel.h"
#include "app/widgets/InSightTabWidget.h"
#include "app/commands/ErrorBox.h"
#include "app/holdings/HoldingsTab.h"
#include "app/holdings/IntradayView.h"
#include "app/shell/Notifier.h"
#include "app/settings/SettingsTab.h"
#include "app/widgets/Twips.h"
#include "app/chart/ChartTab.h"
#include "app/movers/MoversTab.h"
#include "calendar/Calender.h"
#include "holdings/BuyData.h"
#include "platform/FolderLock.h"
#include "platform/Folders.h"
#include "quotes/StockFile.h"
#include "platform/Numbers.h"
#include "settings/ChartSetup.h"

namespace mirolanda::app {
namespace {

constexpr int kClientWidth = 8160;
constexpr int kClientHeight = 5265;

// True when enough of the rectangle lies on some screen to grab the window by its top.
bool OnSomeScreen(const QRect& window) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        QRect seen = screen->availableGeometry().intersected(window);
        if (seen.width() >= std::min(window.width(), 100) && seen.height() >= std::min(window.height(), 30)) return true;
    }
    return false;
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(Px(kClientWidth), Px(kClientHeight));
}

}  // namespace

MainFrm::MainFrm(const platform::Clock& clock, MainFrmOptions options, QWidget* parent)
    : QWidget(parent), clock_(clock), programFolder_(options.ProgramFolder) {
    settings_ = std::make_unique<settings::Store>(options.SettingsFile, programFolder_);
    secrets_ = std::make_unique<settings::Secrets>(*settings_, std::move(options.Keychain));
    retryWaits_ = options.RetryWaits;
    if (options.Dialog) {
        dialogs_ = options.Dialog;
    } else {
        ownDialogs_ = std::make_unique<QtDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    notifier_ = options.Notify;
    BuildWindow(options);
    ConnectTray();
    FormInitialize();
}

MainFrm::~MainFrm() {
    // The workers must not outlive the tables they fill.
    download_->CancelAndWait();
    holdings_->Intraday()->CancelAndWait();
    bonus_->CancelAndWait();
}

void MainFrm::BuildWindow(MainFrmOptions& options) {
    setObjectName(QStringLiteral("MainFrm"));
    // The design is the default and the least size; everything grows with the window.
    new AnchorLayout(this, TwipsRect{0, 0, kClientWidth, kClientHeight});
    tabMain_ = Named(new InSightTabWidget(this, 10), QStringLiteral("TabMain"), {0, 0, kClientWidth, 5000}, kGrow);
    // The status line and the area beside it share the extra width.
    lblExecMsg_ = Named(new ElidedLabel(this), QStringLiteral("LblExecMsg"), {0, 5000, 4620, 255}, {0, 1, 0.5, 0});
    lblExecMsg_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblDataInfo_ = Named(new ElidedLabel(this), QStringLiteral("LblDataInfo"), {4650, 5000, 3510, 255}, {0.5, 1, 0.5, 0});
    lblDataInfo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progress_ = Named(new QProgressBar(this), QStringLiteral("PrgDownload"), {4650, 5025, 2700, 210}, {0.5, 1, 0.5, 0});
    progress_->setTextVisible(false);
    progress_->hide();
    cmdCancel_ = MakeButton(this, QStringLiteral("CmdCancel"), QStringLiteral("中止(&X)"), {7380, 5000, 780, 255}, kBottomRight);
    cmdCancel_->setToolTip(QStringLiteral("実行中のダウンロードを中止します。中止した処理の結果は保存されません"));
    cmdCancel_->hide();
    connect(cmdCancel_, &QPushButton::clicked, this, &MainFrm::CancelCommand);

    settingsTab_ = new SettingsTab(*this);
    download_ = new DownloadTab(*this, std::move(options.Runner), std::move(options.Fetcher));
    holdings_ = new HoldingsTab(*this);
    bonus_ = new BonusTab(*this);
    tabMain_->addTab(download_, QStringLiteral("データダウンロード(&Q)"));
    tabMain_->addTab(holdings_, QStringLiteral("持株情報(&H)"));
    tabMain_->addTab(bonus_, QStringLiteral("おまけ(&B)"));
    tabMain_->addTab(settingsTab_, QStringLiteral("設定・保守(&O)"));
    // Last, so that the tab index users' settings files remember still names the same tab.
    chart_ = new ChartTab(*this, [this] { return settings::OpenMarketHistory(LiveSettings()); });
    tabMain_->addTab(chart_, QStringLiteral("チャート(&C)"));
    movers_ = new MoversTab(*this, [this] { return settings::OpenMarketDatabase(LiveSettings()); });
    tabMain_->addTab(movers_, QStringLiteral("ランキング(&G)"));
    // Six tabs share the design width: at the least size a wide font elides captions, each
    // whole in its tooltip.
    for (int i = 0; i < tabMain_->count(); ++i) tabMain_->setTabToolTip(i, tabMain_->tabText(i).remove('&'));
    ConnectChartOpeners();
    AddTabSwitchKeys();

    calendar_ = new CalendarTab(holidays_, platform::CalenderFile(programFolder_), clock_);
    calendar_->SetDialogs(dialogs_);
    settingsTab_->SetCalendarPage(calendar_);

    auto_ = new AutoDownload(*this, [this] { return download_->CmdGetData_Click(DownloadTab::WriterWait::TryOnce); }, this);
    connect(download_, &DownloadTab::DownloadFinished, this,
            [this](bool ok, const QString&, bool cancelled) { DownloadEnded(ok, cancelled); });
    connect(download_, &DownloadTab::DownloadFinished, auto_, &AutoDownload::DownloadFinished);
    connect(auto_, &AutoDownload::Finished, this, &MainFrm::AutoDownloadEnded);
    connect(download_, &DownloadTab::DownloadFinished, this, &MainFrm::CommandEnded);
    connect(download_, &DownloadTab::FilingFinished, this, &MainFrm::CommandEnded);
    connect(holdings_->Intraday(), &IntradayView::UpdateFinished, this, &MainFrm::CommandEnded);
    connect(bonus_, &BonusTab::CommandFinished, this, &MainFrm::CommandEnded);
    connect(&auto_->Timer(), &QTimer::timeout, this, &MainFrm::UpdateStatusArea);
    connect(holdings_, &HoldingsTab::AlertsCrossed, this, &MainFrm::NotifyAlerts);
    connect(&settingsTab_->Automation(), &AutoSettingsPage::AutoModeTicked, auto_, &AutoDownload::OfferRerun);
    connect(calendar_, &CalendarTab::HolidaysChanged, this, &MainFrm::UpdateStatusArea);
    resize(Px(kClientWidth), Px(kClientHeight));
    layout()->activate();
}

void MainFrm::AddTabSwitchKeys() {
    // Window-wide, so that a grid or an inner tab page that has the focus cannot keep them.
    const auto add = [this](QKeySequence keys, int step) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            if (!tabMain_->isEnabled()) return;
            const int count = tabMain_->count();
            tabMain_->setCurrentIndex((tabMain_->currentIndex() + step + count) % count);
        });
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    add(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
    add(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
}

void MainFrm::ConnectChartOpeners() {
    auto* fix = download_->findChild<QTableView*>(QStringLiteral("FgFix"));
    connect(fix, &QTableView::doubleClicked, this, [this, fix](const QModelIndex& index) {
        const auto code = market::CodeFromText(fix->model()->index(index.row(), 0).data().toString().toStdString());
        if (!code) return;
        chart_->Open(*code);
        tabMain_->setCurrentWidget(chart_);
    });
    connect(movers_, &MoversTab::ChartRequested, this, [this](const market::IssueCode& code) {
        chart_->Open(code);
        tabMain_->setCurrentWidget(chart_);
    });
    // A double click on a holding edits it; its candles are one entry of the grid's menu away.
    auto* buy = holdings_->findChild<QTableView*>(QStringLiteral("FgBuy"));
    auto* candles = new QAction(QStringLiteral("ローソク足チャートを表示"), buy);
    buy->setContextMenuPolicy(Qt::ActionsContextMenu);
    buy->addAction(candles);
    connect(candles, &QAction::triggered, this, [this, buy] {
        const int row = buy->currentIndex().row();
        const auto& holdings = holdings_->Holdings();
        if (row < 0 || row >= holdings.RowCount()) return;
        const auto& holding = holdings.RowAt(row);
        const auto code = market::CodeOfCell(holding[holdings::kBuyCode]);
        if (!code.IsValid()) return;
        std::optional<charts::Purchase> purchase;
        if (const auto day = platform::ParseSlashed(holding[holdings::kBuyDate])) {
            purchase = charts::Purchase{*day, market::FromYen(platform::CellToInt32(holding[holdings::kBuyPrice]))};
        }
        chart_->Open(code, purchase);
        tabMain_->setCurrentWidget(chart_);
    });
}

void MainFrm::ConnectTray() {
    if (!notifier_) {
        auto* tray = new TrayIcon(std::make_unique<FreedesktopNotifications>(), std::chrono::seconds(5), this);
        connect(tray, &TrayIcon::ShowRequested, this, &MainFrm::BringToFront);
        connect(tray, &TrayIcon::DownloadRequested, this, [this] {
            if (!download_->CmdGetData_Click()) dialogs_->Beep();
        });
        connect(tray, &TrayIcon::QuitRequested, this, &MainFrm::Quit);
        notifier_ = tray;
    }
}

void MainFrm::FormInitialize() {
    initFlag_ = QStringLiteral("No Initialize");
    downloadState_ = 0;
    // The holidays are read before the settings, so that a data date computed while loading
    // them (the re-run question) knows the holidays too. Errors are reported by the later load.
    try {
        calendar::LoadCalender(holidays_, platform::CalenderFile(programFolder_));
    } catch (const std::exception&) {
        calendar::ResetHolidayTable(holidays_);
    }
    LoadSettings();
    setWindowTitle(QStringLiteral("Mirolanda Ver.") + QStringLiteral(MIROLANDA_VERSION));
    ClampPosition();
    startupSize_ = size();
    initFlag_ = QStringLiteral("Initialized");
    FormLoad();
}

void MainFrm::LoadSettings() {
    // Each group's load writes its group back; a file that cannot be written fails them all
    // alike, and the user is told once.
    QStringList reported;
    auto load = [&](auto&& group) {
        try {
            group();
        } catch (const std::exception& error) {
            const QString text = ErrorText(error);
            if (reported.contains(text)) return;
            reported.push_back(text);
            dialogs_->Inform(this, MessageIcon::Critical, kAppTitle, text);
        }
    };
    load([this] {
        if (auto broken = settings_->RepairIfBroken(clock_.Now())) {
            dialogs_->Inform(this, MessageIcon::Warning, kAppTitle, QString::fromStdString(broken->Message()));
        }
    });
    load([this] { LoadRegstoryGeometry(); });
    load([this] { settingsTab_->LoadRegstoryInet(); });
    load([this] { settingsTab_->LoadRegstoryFolder(); });
    load([this] { settingsTab_->LoadRegstoryAuto(); });
    load([this] { settingsTab_->LoadRegstoryUser(); });
    load([this] { settingsTab_->LoadRegstoryBuy(); });
    load([this] { settingsTab_->LoadRegstoryNotify(); });
}

void MainFrm::FormLoad() {
    ResetResultGrid();
    settingsTab_->DisableSaveButtons();
    StartupLoading();
}

void MainFrm::StartupLoading() {
    auto_->Enable();
    platform::DateTime now = clock_.Now();
    calendar_->ShowMonth(now.Day.Year, now.Day.Month);
    if (initFlag_ != QStringLiteral("Initialized")) return;
    // What a filing killed half-way left beside the history files goes; the files stay whole.
    Guarded(*this, [this] {
        // A writer at work (the timer's mirolanda-cli) may have temporaries of its own there.
        if (const auto lock = platform::FolderLock::Try(ProgramFolder()))
            quotes::RemoveStaleHistoryTemporaries(CurrentFolders().StockData);
    });
    download_->LoadAtStartup();
    Guarded(*this, [this] { holdings_->LoadAtStartup(); });
    Guarded(*this, [this] { bonus_->LoadAtStartup(); });
    calendar_->LoadHolidays();
    UpdateStatusArea();
}

void MainFrm::LoadRegstoryGeometry() {
    // The size first: the centred default position depends on it. A stored size below the
    // design size (an old file, a smaller screen) gives the design size.
    auto pixels = [](float twips) { return static_cast<int>(std::lround(std::clamp(twips, -1e8f, 1e8f) / kTwipsPerPixel)); };
    const auto width = settings_->ReadPosition(settings::keys::Width);
    const auto height = settings_->ReadPosition(settings::keys::Height);
    if (width && height) resize(QSize(pixels(*width), pixels(*height)).expandedTo(minimumSize()));
    QSize frame = frameGeometry().size();
    QSize screen = ScreenSize();
    const float centredTop = static_cast<float>(Twips(screen.height() - frame.height())) / 2;
    const float centredLeft = static_cast<float>(Twips(screen.width() - frame.width())) / 2;
    float top = settings_->ReadPosition(settings::keys::Top).value_or(centredTop);
    float left = settings_->ReadPosition(settings::keys::Left).value_or(centredLeft);
    // A position that would leave the window out of sight (a screen that is gone, a value far
    // off) gives the centred default; a negative one is clamped to 0 once loading is done.
    QPoint clamped(std::max(pixels(left), 0), std::max(pixels(top), 0));
    if (!OnSomeScreen(QRect(clamped, frame))) {
        top = centredTop;
        left = centredLeft;
    }
    move(pixels(left), pixels(top));
    const settings::Snapshot stored = settings_->Current();
    if (stored.Checked(settings::keys::Maximized)) setWindowState(windowState() | Qt::WindowMaximized);
    const long tab = platform::LeadingInteger(stored.Text(settings::keys::CurrentTab), 0);
    tabMain_->setCurrentIndex(tab >= 0 && tab < tabMain_->count() ? static_cast<int>(tab) : 0);
    SaveRegstoryGeometry();
}

void MainFrm::SaveRegstoryGeometry() {
    // A minimised window has no position of its own to keep.
    if (isMinimized()) return;
    // A maximised window keeps the place and size it returns to.
    const bool maximized = isMaximized();
    const QRect normal = maximized && normalGeometry().isValid() ? normalGeometry() : QRect(pos(), size());
    float top = static_cast<float>(Twips(normal.y()));
    float left = static_cast<float>(Twips(normal.x()));
    if (top < 0 && left < 0) return;
    settings_->WriteGroup({{&settings::keys::Top, settings::FormatPosition(top)},
                           {&settings::keys::Left, settings::FormatPosition(left)},
                           {&settings::keys::Width, std::to_string(Twips(normal.width()))},
                           {&settings::keys::Height, std::to_string(Twips(normal.height()))},
                           {&settings::keys::Maximized, settings::FormatCheck(maximized)},
                           {&settings::keys::CurrentTab, std::to_string(tabMain_->currentIndex())}});
}

void MainFrm::ClampPosition() {
    // Only when needed: moving a window ends its maximised state.
    const QPoint clamped(std::max(pos().x(), 0), std::max(pos().y(), 0));
    if (clamped != pos()) move(clamped);
}

void MainFrm::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool MainFrm::CommandRunning() const {
    return downloadState_ == 1 || download_->Busy() || holdings_->Intraday()->Busy() || bonus_->Busy();
}

void MainFrm::CancelCommand() {
    download_->Cancel();
    holdings_->Intraday()->Cancel();
    bonus_->Cancel();
}

void MainFrm::Quit() {
    quitting_ = true;
    if (close()) {
        QCoreApplication::quit();
    } else {
        quitting_ = false;
    }
}

void MainFrm::closeEvent(QCloseEvent* event) {
    // Closing keeps the program in the tray only when the user chose so and there is a tray.
    if (!quitting_ && notifier_->Available() && LiveSettings().Checked(settings::keys::TrayOnClose)) {
        Guarded(*this, [this] { SaveRegstoryGeometry(); });
        hide();
        event->ignore();
        return;
    }
    if (CommandRunning()) {
        askingToClose_ = true;
        const bool yes =
            dialogs_->AskYesNo(this, kAppTitle, QStringLiteral("実行中の処理があります。\r中止して終了しますか？"), DefaultButton::No);
        askingToClose_ = false;
        // A command that ended while the question was open leaves nothing to cancel: the
        // window closes as it does when nothing runs.
        if (!yes && CommandRunning()) {
            event->ignore();
            return;
        }
    }
    Guarded(*this, [this] { SaveRegstoryGeometry(); });
    if (CalFrm* dialog = calendar_->HolidayDialog()) dialog->close();
    // Cancelled as the cancel button does: nothing of the unfinished command is saved.
    download_->CancelAndWait();
    holdings_->Intraday()->CancelAndWait();
    bonus_->CancelAndWait();
    event->accept();
}

void MainFrm::CommandEnded() {
    // Queued: the worker is marked idle only after the signal that reports its end.
    QMetaObject::invokeMethod(this, [this] {
        if (askingToClose_ && !CommandRunning()) dialogs_->DismissQuestion();
    }, Qt::QueuedConnection);
}

void MainFrm::Notify(const QString& title, const QString& text, bool warning) {
    if (!LiveSettings().Checked(settings::keys::NotifyMode)) return;
    if (!notifier_->Notify(title, text, warning)) ShowStatus(title + QStringLiteral("：") + text);
}

void MainFrm::NotifyAlerts(const std::vector<CrossedAlert>& alerts) {
    for (const CrossedAlert& alert : alerts) Notify(alert.Title, alert.Text, false);
}

void MainFrm::DownloadEnded(bool ok, bool cancelled) {
    const quotes::DownloadOutcome& outcome = download_->LastOutcome();
    if (!cancelled) {
        const platform::DateTime now = clock_.Now();
        LastDownload last{platform::FormatSlashed(now.Day) + " " + platform::FormatHhMm(now), outcome.Issues, ok,
                          outcome.Status};
        Guarded(*this, [&] { settings_->Write(settings::keys::LastDownload, FormatLastDownload(last)); });
    }
    // New closes may carry a holding across its threshold, whether or not its tab is shown.
    if (ok) holdings_->RefreshAndFindCrossings();
    UpdateStatusArea();
}

void MainFrm::AutoDownloadEnded(bool ok, bool cancelled) {
    if (cancelled) return;
    const quotes::DownloadOutcome& outcome = download_->LastOutcome();
    if (ok) {
        Notify(QStringLiteral("自動ダウンロード完了"), DownloadDoneText(outcome.Issues, outcome.CsvPath.has_value()), false);
        return;
    }
    // A failed automatic download is tried again after growing waits: tell the first failure
    // of the data date only.
    if (auto_->Failures() != 1) return;
    const QString reason = outcome.Status.empty() ? QStringLiteral("保存中にエラーが発生しました") : QString::fromStdString(outcome.Status);
    Notify(QStringLiteral("自動ダウンロード失敗"), reason, true);
}

void MainFrm::UpdateStatusArea() {
    const bool running = progress_->isVisible() || cmdCancel_->isVisible();
    lblDataInfo_->setVisible(!running);
    if (running) return;
    std::optional<LastDownload> last;
    Guarded(*this, [&] { last = ParseLastDownload(settings_->Read(settings::keys::LastDownload)); });
    lblDataInfo_->SetFullText(StatusAreaText(DataDate(), last));
}

settings::Snapshot MainFrm::LiveSettings() const {
    settings::Snapshot live = settings_->Current();
    live.Set(settingsTab_->Values());
    // A connection option chosen but not saved is not applied yet: the stored mode counts.
    live.Set(settings::keys::ConnectionMode, settings_->Read(settings::keys::ConnectionMode));
    return live;
}

std::string MainFrm::DataDate() const { return calendar::GetDataDate(holidays_, clock_); }

void MainFrm::ShowStatus(const QString& text, const QString& detail) { lblExecMsg_->SetFullText(text, detail); }

void MainFrm::ShowProgress(int done, int total) {
    const bool shown = total > 0;
    if (progress_->isVisible() != shown) {
        progress_->setVisible(shown);
        UpdateStatusArea();
    }
    if (!shown) return;
    progress_->setRange(0, total);
    progress_->setValue(std::clamp(done, 0, total));
}

void MainFrm::ResetResultGrid() { download_->ResetResultGrid(); }

void MainFrm::SetTabsEnabled(bool enabled) { tabMain_->setEnabled(enabled); }

void MainFrm::SetCancellable(bool cancellable) {
    cmdCancel_->setVisible(cancellable);
    UpdateStatusArea();
}

void MainFrm::SetDownloadState(int16_t state) {
    downloadState_ = state;
    // The commands that start a network command wait while one runs, the filing included.
    download_->SetStartEnabled(state != 1);
    holdings_->SetUpdateEnabled(state != 1);
}

}  // namespace mirolanda::app
