// The tab "設定・保守": its inner tabs "インターネット接続", "フォルダ設定", "ユーザー情報"
// (laid out here), "売買管理", "カレンダー" and "自動処理"; the load and save of each settings
// group, and the controls' current values, which the other tabs read as the live settings.
#pragma once

#include <QWidget>
#include <array>

#include "app/WindowServices.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace mirolanda::app {

class AlertSettingsPage;
class AutoSettingsPage;

class SettingsTab final : public QWidget {
    Q_OBJECT
public:
    SettingsTab(WindowServices& services, QWidget* parent = nullptr);

    // Puts the calendar's page in place of its placeholder.
    void SetCalendarPage(QWidget* page);

    void LoadRegstoryInet();
    void SaveRegstoryInet();
    void UpdateInetConfig(int mode);
    void LoadRegstoryFolder();
    void SaveRegstoryFolder();
    void LoadRegstoryUser();
    void SaveRegstoryUser();
    void DisableSaveButtons();

    platform::Folders CurrentFolders() const;
    std::string Proxy() const;
    HostUrls CurrentHosts() const;
    UserInfo CurrentUser() const;

    QTabWidget* Pages = nullptr;
    AlertSettingsPage* Buy = nullptr;
    AutoSettingsPage* Auto = nullptr;

    // "インターネット接続"
    std::array<QRadioButton*, 3> OptInetConfig{};
    QGroupBox* FrmProxy = nullptr;
    QLineEdit* TxtInetProxyServer = nullptr;
    QLineEdit* TxtInetProxyPort = nullptr;
    QLineEdit* TxtQuoteSiteUrl = nullptr;
    QLineEdit* TxtChartSiteUrl = nullptr;
    QLineEdit* TxtPublisherUrl = nullptr;
    QPushButton* CmdInetConfigSave = nullptr;
    // "フォルダ設定"
    QLineEdit* TxtFolderTemp = nullptr;
    QLineEdit* TxtFolderData = nullptr;
    QLineEdit* TxtFolderStock = nullptr;
    QLineEdit* TxtFolderOmake = nullptr;
    QLineEdit* TxtFolderEtc = nullptr;
    QPushButton* CmdFolderConfigSave = nullptr;
    // "ユーザー情報"
    QLineEdit* TxtUserName = nullptr;
    QLineEdit* TxtSign = nullptr;
    QPlainTextEdit* TxtUserNotice = nullptr;
    QPushButton* CmdUserInfSave = nullptr;

    static constexpr int kCalendarIndex = 4;

private:
    QWidget* BuildInetPage();
    QWidget* BuildFolderPage();
    QWidget* BuildUserPage();

    WindowServices& services_;
};

}  // namespace mirolanda::app
