// The main window `MainFrm`: the tab control `TabMain` with its four tabs, the status line
// `LblExecMsg` and beside it the data date with the last download's outcome (or, while a
// command runs, its progress bar and cancel button), the settings groups' loading at start-up,
// the window's place, size and tab kept in the settings, the automatic download's timer, the
// tray icon and the desktop notifications. It wires the tabs together and gives them the
// window's services; the work lives in the tabs.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/download/DownloadTab.h"
#include "app/commands/WindowServices.h"
#include "platform/Table.h"

class QProgressBar;
class QPushButton;
class QTabWidget;

namespace mirolanda::app {

class AutoDownload;
class BonusTab;
class CalendarTab;
class ChartTab;
class Dialogs;
class ElidedLabel;
class HoldingsTab;
class MoversTab;
class Notifier;
struct CrossedAlert;
class SettingsTab;

struct MainFrmOptions {
    std::filesystem::path ProgramFolder;
    // The settings file; nothing for the user's own store.
    std::optional<std::filesystem::path> SettingsFile;
    // Message boxes and dialogs; nothing for the real ones. Not owned.
    Dialogs* Dialog = nullptr;
    // The download and its HTTP client; nothing for the real ones.
    DownloadRunner Runner;
    std::unique_ptr<platform::Fetcher> Fetcher;
    // Notifications and the tray; nothing for the desktop's tray icon. Not owned.
    Notifier* Notify = nullptr;
    // The desktop's secret store for the API key; nothing keeps it in the settings file.
    std::unique_ptr<settings::Keychain> Keychain;
    // The waits before each retry of a failed request.
    std::vector<platform::Milliseconds> RetryWaits = platform::RetryOptions{}.Waits;
};

class MainFrm final : public QWidget, public WindowServices, public CommandStatus {
    Q_OBJECT
public:
    MainFrm(const platform::Clock& clock, MainFrmOptions options, QWidget* parent = nullptr);
    ~MainFrm() override;

    // Brings the window to the front (a second start asked for it).
    void BringToFront();

    void LoadRegstoryGeometry();
    void SaveRegstoryGeometry();

    QString InitialisationFlag() const { return initFlag_; }
    QSize StartupSize() const { return startupSize_; }

    DownloadTab* Download() const { return download_; }
    HoldingsTab* Holdings() const { return holdings_; }
    BonusTab* Bonus() const { return bonus_; }
    SettingsTab* Config() const { return settingsTab_; }
    CalendarTab* Calendar() const { return calendar_; }
    ChartTab* Charts() const { return chart_; }
    MoversTab* Movers() const { return movers_; }
    AutoDownload* Automation() const { return auto_; }

    // WindowServices and CommandStatus
    settings::Store& Settings() override { return *settings_; }
    settings::Secrets& Secrets() override { return *secrets_; }
    std::vector<platform::Milliseconds> RetryWaits() const override { return retryWaits_; }
    const platform::Clock& Clock() const override { return clock_; }
    Dialogs& Dialog() override { return *dialogs_; }
    QWidget* Window() override { return this; }
    const std::filesystem::path& ProgramFolder() const override { return programFolder_; }
    settings::Snapshot LiveSettings() const override;
    const platform::Table& Holidays() const override { return holidays_; }
    std::string DataDate() const override;
    CommandStatus& Status() override { return *this; }
    void ShowStatus(const QString& text, const QString& detail = {}) override;
    void ShowProgress(int done, int total) override;
    int16_t DownloadState() const override { return downloadState_; }
    void SetDownloadState(int16_t state) override;
    void ResetResultGrid() override;
    void SetTabsEnabled(bool enabled) override;
    void SetCancellable(bool cancellable) override;

    // True while a command (network or filing) is under way.
    bool CommandRunning() const;
    // Stops the running network command as its cancel button does.
    void CancelCommand();
    // Ends the program even when closing would keep it in the tray (the tray's 終了).
    void Quit();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A command has ended: the close question, if open, no longer has anything to ask about.
    void CommandEnded();
    void BuildWindow(MainFrmOptions& options);
    void FormInitialize();
    // The settings groups in their order, after a broken settings file has been set aside.
    void LoadSettings();
    void FormLoad();
    void StartupLoading();
    void ClampPosition();
    // Ctrl+Tab and Ctrl+PageDown show the next tab, with Shift or PageUp the one before.
    void AddTabSwitchKeys();
    void ConnectTray();
    // A desktop notification, unless the user turned them off.
    void Notify(const QString& title, const QString& text, bool warning);
    void NotifyAlerts(const std::vector<CrossedAlert>& alerts);
    void DownloadEnded(bool ok, bool cancelled);
    void AutoDownloadEnded(bool ok, bool cancelled);
    // The status-bar area: data date and last download, or the running command's bar and button.
    void UpdateStatusArea();

    const platform::Clock& clock_;
    std::filesystem::path programFolder_;
    std::unique_ptr<settings::Store> settings_;
    std::unique_ptr<settings::Secrets> secrets_;
    std::vector<platform::Milliseconds> retryWaits_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    Notifier* notifier_ = nullptr;
    bool quitting_ = false;
    bool askingToClose_ = false;  // the close question is on screen
    platform::Table holidays_{2};
    QString initFlag_;
    int16_t downloadState_ = 0;
    QSize startupSize_;

    QTabWidget* tabMain_ = nullptr;
    ElidedLabel* lblExecMsg_ = nullptr;
    ElidedLabel* lblDataInfo_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    DownloadTab* download_ = nullptr;
    HoldingsTab* holdings_ = nullptr;
    BonusTab* bonus_ = nullptr;
    SettingsTab* settingsTab_ = nullptr;
    CalendarTab* calendar_ = nullptr;
    ChartTab* chart_ = nullptr;
    MoversTab* movers_ = nullptr;
    AutoDownload* auto_ = nullptr;

    // The chart of a row of the download grid (double click), of the holdings grid (its menu)
    // or of the rankings (double click or Enter).
    void ConnectChartOpeners();
};

}  // namespace mirolanda::app
