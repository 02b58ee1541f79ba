// The main window `MainFrm`: the tab control `TabMain` with its four tabs, the status line
// `LblExecMsg` with a progress bar beside it, the settings groups' loading at start-up, the
// window position kept in the settings, and the automatic download's timer. It wires the
// tabs together and gives them the window's services; the work lives in the tabs.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/DownloadTab.h"
#include "app/WindowServices.h"
#include "platform/Table.h"

class QLabel;
class QProgressBar;
class QTabWidget;

namespace mirolanda::app {

class AutoDownload;
class BonusTab;
class CalendarTab;
class Dialogs;
class HoldingsTab;
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
};

class MainFrm final : public QWidget, public WindowServices {
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
    AutoDownload* Automation() const { return auto_; }

    // WindowServices
    settings::Store& Settings() override { return *settings_; }
    const platform::Clock& Clock() const override { return clock_; }
    Dialogs& Dialog() override { return *dialogs_; }
    QWidget* Window() override { return this; }
    const std::filesystem::path& ProgramFolder() const override { return programFolder_; }
    settings::Snapshot LiveSettings() const override;
    const platform::Table& Holidays() const override { return holidays_; }
    std::string DataDate() const override;
    void ShowStatus(const QString& text) override;
    void ShowProgress(int done, int total) override;
    int16_t DownloadState() const override { return downloadState_; }
    void SetDownloadState(int16_t state) override { downloadState_ = state; }
    void ResetResultGrid() override;
    void SetTabsEnabled(bool enabled) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow(MainFrmOptions& options);
    void FormInitialize();
    void FormLoad();
    void StartupLoading();
    void ClampPosition();

    const platform::Clock& clock_;
    std::filesystem::path programFolder_;
    std::unique_ptr<settings::Store> settings_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    platform::Table holidays_{2};
    QString initFlag_;
    int16_t downloadState_ = 0;
    QSize startupSize_;

    QTabWidget* tabMain_ = nullptr;
    QLabel* lblExecMsg_ = nullptr;
    QProgressBar* progress_ = nullptr;
    DownloadTab* download_ = nullptr;
    HoldingsTab* holdings_ = nullptr;
    BonusTab* bonus_ = nullptr;
    SettingsTab* settingsTab_ = nullptr;
    CalendarTab* calendar_ = nullptr;
    AutoDownload* auto_ = nullptr;
};

}  // namespace mirolanda::app
