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
#include "app/widgets/InSightTabWidget.h"
#include "app/widgets/Twips.h"
#include "app/settings/UserSettingsPage.h"

namespace mirolanda::app {
namespace {

constexpr int kCalendarIndex = 4;
constexpr const char* kCalendarCaption = "休日(&C)";

}  // namespace

SettingsTab::SettingsTab(WindowServices& services, QWidget* parent) : QWidget(parent) {
    pages_ = new InSightTabWidget(this, 6);
    pages_->setObjectName(QStringLiteral("TabConfig"));
    // Nine inner tabs share the design width: short captions (the whole name in the tab's
    // tooltip) and narrow tabs keep every one in sight; a larger font elides them rather than
    // hiding some behind scroll arrows.
    inet_ = new InetSettingsPage(services);
    folders_ = new FolderSettingsPage(services);
    user_ = new UserSettingsPage(services);
    alerts_ = new AlertSettingsPage(services);
    auto_ = new AutoSettingsPage(services);
    notify_ = new NotifySettingsPage(services);
    const struct {
        QWidget* page;
        const char* caption;
        const char* whole;
    } tabs[] = {
        {inet_, "接続(&I)", "インターネット接続"}, {folders_, "フォルダ(&F)", "フォルダ設定"},
        {user_, "利用者(&U)", "ユーザー情報"},     {alerts_, "売買管理(&M)", "売買管理"},
        {new QWidget, kCalendarCaption, "カレンダー(休日)"}, {auto_, "自動(&A)", "自動処理"},
        {notify_, "通知(&N)", "通知"},              {new RunLogPage(services), "実行記録(&L)", "実行記録"},
        {new DatabasePage(services), "DB(&D)", "市場データベース"},
    };
    for (const auto& tab : tabs) {
        const int index = pages_->addTab(tab.page, QString::fromUtf8(tab.caption));
        pages_->setTabToolTip(index, QString::fromUtf8(tab.whole));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(pages_);
}

void SettingsTab::SetCalendarPage(QWidget* page) {
    QWidget* placeholder = pages_->widget(kCalendarIndex);
    pages_->removeTab(kCalendarIndex);
    pages_->insertTab(kCalendarIndex, page, QString::fromUtf8(kCalendarCaption));
    pages_->setTabToolTip(kCalendarIndex, QStringLiteral("カレンダー(休日)"));
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
