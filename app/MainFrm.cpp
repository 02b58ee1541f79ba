#include "app/MainFrm.h"

#include <QCloseEvent>
#include <algorithm>
#include <cmath>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>

#include "app/AutoDownload.h"
#include "app/AutoSettingsPage.h"
#include "app/BonusTab.h"
#include "app/CalFrm.h"
#include "app/CalendarTab.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/HoldingsTab.h"
#include "app/SettingsTab.h"
#include "app/Twips.h"
#include "calendar/Calender.h"
#include "platform/Folders.h"

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
    if (options.Dialog) {
        dialogs_ = options.Dialog;
    } else {
        ownDialogs_ = std::make_unique<QtDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    BuildWindow(options);
    FormInitialize();
}

MainFrm::~MainFrm() {
    // The worker must not outlive the tables it fills.
    download_->CancelAndWait();
}

void MainFrm::BuildWindow(MainFrmOptions& options) {
    setObjectName(QStringLiteral("MainFrm"));
    setFixedSize(Px(kClientWidth), Px(kClientHeight));
    tabMain_ = new QTabWidget(this);
    tabMain_->setObjectName(QStringLiteral("TabMain"));
    Place(tabMain_, 0, 0, kClientWidth, 5000);
    lblExecMsg_ = new QLabel(this);
    lblExecMsg_->setObjectName(QStringLiteral("LblExecMsg"));
    lblExecMsg_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Place(lblExecMsg_, 0, 5000, kClientWidth, 255);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("PrgDownload"));
    progress_->setTextVisible(false);
    Place(progress_, 5640, 5025, 2490, 210);
    progress_->hide();

    settingsTab_ = new SettingsTab(*this);
    download_ = new DownloadTab(*this, std::move(options.Runner), std::move(options.Fetcher));
    holdings_ = new HoldingsTab(*this);
    bonus_ = new BonusTab(*this);
    tabMain_->addTab(download_, QStringLiteral("データダウンロード"));
    tabMain_->addTab(holdings_, QStringLiteral("持株情報"));
    tabMain_->addTab(bonus_, QStringLiteral("おまけ"));
    tabMain_->addTab(settingsTab_, QStringLiteral("設定・保守"));

    calendar_ = new CalendarTab(holidays_, platform::CalenderFile(programFolder_), clock_);
    calendar_->SetDialogs(dialogs_);
    settingsTab_->SetCalendarPage(calendar_);

    auto_ = new AutoDownload(*this, [this] { return download_->CmdGetData_Click(); }, this);
    connect(download_, &DownloadTab::DownloadFinished, auto_, &AutoDownload::DownloadFinished);
    connect(&settingsTab_->Automation(), &AutoSettingsPage::AutoModeTicked, auto_, &AutoDownload::OfferRerun);
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
    Guarded(*this, [this] { LoadRegstoryGeometry(); });
    Guarded(*this, [this] { settingsTab_->LoadRegstoryInet(); });
    Guarded(*this, [this] { settingsTab_->LoadRegstoryFolder(); });
    Guarded(*this, [this] { settingsTab_->LoadRegstoryAuto(); });
    Guarded(*this, [this] { settingsTab_->LoadRegstoryUser(); });
    Guarded(*this, [this] { settingsTab_->LoadRegstoryBuy(); });
    setWindowTitle(QStringLiteral("Mirolanda Ver.") + QStringLiteral(MIROLANDA_VERSION));
    ClampPosition();
    startupSize_ = size();
    initFlag_ = QStringLiteral("Initialized");
    FormLoad();
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
    Guarded(*this, [this] { holdings_->LoadAtStartup(); });
    Guarded(*this, [this] { bonus_->LoadAtStartup(); });
    calendar_->LoadHolidays();
}

void MainFrm::LoadRegstoryGeometry() {
    QSize frame = frameGeometry().size();
    QSize screen = ScreenSize();
    const float centredTop = static_cast<float>(Twips(screen.height() - frame.height())) / 2;
    const float centredLeft = static_cast<float>(Twips(screen.width() - frame.width())) / 2;
    float top = settings_->ReadPosition(settings::keys::Top).value_or(centredTop);
    float left = settings_->ReadPosition(settings::keys::Left).value_or(centredLeft);
    // A position that would leave the window out of sight (a screen that is gone, a value far
    // off) gives the centred default; a negative one is clamped to 0 once loading is done.
    auto pixels = [](float twips) { return static_cast<int>(std::lround(std::clamp(twips, -1e8f, 1e8f) / kTwipsPerPixel)); };
    QPoint clamped(std::max(pixels(left), 0), std::max(pixels(top), 0));
    if (!OnSomeScreen(QRect(clamped, frame))) {
        top = centredTop;
        left = centredLeft;
    }
    move(pixels(left), pixels(top));
    SaveRegstoryGeometry();
}

void MainFrm::SaveRegstoryGeometry() {
    // A minimised window has no position of its own to keep.
    if (isMinimized()) return;
    float top = static_cast<float>(Twips(pos().y()));
    float left = static_cast<float>(Twips(pos().x()));
    if (top < 0 && left < 0) return;
    settings_->WriteGroup({{&settings::keys::Top, settings::FormatPosition(top)},
                           {&settings::keys::Left, settings::FormatPosition(left)}});
}

void MainFrm::ClampPosition() {
    move(std::max(pos().x(), 0), std::max(pos().y(), 0));
}

void MainFrm::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainFrm::closeEvent(QCloseEvent* event) {
    Guarded(*this, [this] { SaveRegstoryGeometry(); });
    if (CalFrm* dialog = calendar_->HolidayDialog()) dialog->close();
    download_->CancelAndWait();
    event->accept();
}

settings::Snapshot MainFrm::LiveSettings() const {
    settings::Snapshot live = settings_->Current();
    live.Set(settingsTab_->Values());
    // A connection option chosen but not saved is not applied yet: the stored mode counts.
    live.Set(settings::keys::ConnectionMode, settings_->Read(settings::keys::ConnectionMode));
    return live;
}

std::string MainFrm::DataDate() const { return calendar::GetDataDate(holidays_, clock_); }

void MainFrm::ShowStatus(const QString& text) { lblExecMsg_->setText(text); }

void MainFrm::ShowProgress(int done, int total) {
    progress_->setVisible(total > 0);
    if (total <= 0) return;
    progress_->setRange(0, total);
    progress_->setValue(std::clamp(done, 0, total));
}

void MainFrm::ResetResultGrid() { download_->ResetResultGrid(); }

void MainFrm::SetTabsEnabled(bool enabled) { tabMain_->setEnabled(enabled); }

}  // namespace mirolanda::app
