#include "app/settings/SettingsTab.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "app/settings/AlertSettingsPage.h"
#include "app/settings/AutoSettingsPage.h"
#include "app/settings/DatabasePage.h"
#include "app/settings/FolderSettingsPage.h"
#include "app/settings/InetSettingsPage.h"
#include "app/settings/RunLogPage.h"
#include "app/settings/NotifySettingsPage.h"
#include "app/widgets/Twips.h"
#include "app/settings/UserSettingsPage.h"

namespace mirolanda::app {
namespace {

constexpr int kCalendarIndex = 4;

}  // namespace

SettingsTab::SettingsTab(WindowServices& services, QWidget* parent) : QWidget(parent) {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("TabConfig"));
    // Six inner tabs share the design width; narrow padding keeps them all in sight.
    pages_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    pages_->setUsesScrollButtons(true);
    inet_ = new InetSettingsPage(services);
    folders_ = new FolderSettingsPage(services);
    user_ = new UserSettingsPage(services);
    alerts_ = new AlertSettingsPage(services);
    auto_ = new AutoSettingsPage(services);
    notify_ = new NotifySettingsPage(services);
    pages_->addTab(inet_, QStringLiteral("インターネット接続(&I)"));
    pages_->addTab(folders_, QStringLiteral("フォルダ設定(&F)"));
    pages_->addTab(user_, QStringLiteral("ユーザー情報(&U)"));
    pages_->addTab(alerts_, QStringLiteral("売買管理(&M)"));
    pages_->addTab(new QWidget, QStringLiteral("カレンダー(&C)"));
    pages_->addTab(auto_, QStringLiteral("自動処理(&A)"));
    pages_->addTab(notify_, QStringLiteral("通知(&N)"));
    pages_->addTab(new RunLogPage(services), QStringLiteral("実行記録(&L)"));
    pages_->addTab(new DatabasePage(services), QStringLiteral("データベース(&D)"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(pages_);
}

void SettingsTab::SetCalendarPage(QWidget* page) {
    QWidget* placeholder = pages_->widget(kCalendarIndex);
    pages_->removeTab(kCalendarIndex);
    pages_->insertTab(kCalendarIndex, page, QStringLiteral("カレンダー(&C)"));
    delete placeholder;
}

void SettingsTab::LoadRegstoryInet() { inet_->Load(); }
void SettingsTab::LoadRegstoryFolder() { folders_->Load(); }
void SettingsTab::LoadRegstoryAuto() { auto_->Load(); }
void SettingsTab::LoadRegstoryUser() { user_->Load(); }
void SettingsTab::LoadRegstoryBuy() { alerts_->Load(); }
void SettingsTab::LoadRegstoryNotify() { notify_->Load(); }

std::array<SettingsPage*, 6> SettingsTab::Pages() const { return {inet_, folders_, auto_, user_, alerts_, notify_}; }

void SettingsTab::DisableSaveButtons() {
    for (SettingsPage* page : Pages()) page->DisableSave();
}

settings::GroupValues SettingsTab::Values() const {
    settings::GroupValues all;
    for (const SettingsPage* page : Pages()) {
        settings::GroupValues values = page->Values();
        all.insert(all.end(), values.begin(), values.end());
    }
    return all;
}

}  // namespace mirolanda::app
