// The tab "設定・保守": its inner tabs "インターネット接続", "フォルダ設定", "ユーザー情報",
// "売買管理", "カレンダー", "自動処理" and "通知", the run log "実行記録" and the market database's
// import "データベース". Each settings page owns its controls; the tab loads
// and saves the groups in the window's order and gathers the pages' values, which the other
// tabs read as the live settings.
#pragma once

#include <QWidget>
#include <array>

#include "settings/Snapshot.h"

class QTabWidget;

namespace mirolanda::app {

class AlertSettingsPage;
class AutoSettingsPage;
class FolderSettingsPage;
class InetSettingsPage;
class NotifySettingsPage;
class SettingsPage;
class UserSettingsPage;
class WindowServices;

class SettingsTab final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsTab(WindowServices& services, QWidget* parent = nullptr);

    // Puts the calendar's page in place of its placeholder.
    void SetCalendarPage(QWidget* page);

    // Each load shows the stored group in its page and writes the group back.
    void LoadRegstoryInet();
    void LoadRegstoryFolder();
    void LoadRegstoryAuto();
    void LoadRegstoryUser();
    void LoadRegstoryBuy();
    void LoadRegstoryNotify();
    void DisableSaveButtons();

    // Every page's group as its controls hold it now.
    settings::GroupValues Values() const;

    // The automation page, whose ticking of the mode the automatic download follows.
    AutoSettingsPage& Automation() const { return *auto_; }

private:
    QTabWidget* pages_ = nullptr;
    // The pages with a group of settings, in the order they are loaded.
    std::array<SettingsPage*, 6> Pages() const;

    InetSettingsPage* inet_ = nullptr;
    FolderSettingsPage* folders_ = nullptr;
    UserSettingsPage* user_ = nullptr;
    AlertSettingsPage* alerts_ = nullptr;
    AutoSettingsPage* auto_ = nullptr;
    NotifySettingsPage* notify_ = nullptr;
};

}  // namespace mirolanda::app
