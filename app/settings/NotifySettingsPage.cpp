#include "app/settings/NotifySettingsPage.h"

#include <QCheckBox>

#include "app/widgets/Controls.h"

namespace mirolanda::app {

namespace keys = settings::keys;

NotifySettingsPage::NotifySettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    auto* frame = MakeFrame(this, QStringLiteral("デスクトップ通知"), {120, 60, 7700, 1230});
    ChkNotify = MakeCheck(frame, QStringLiteral("ChkNotify"),
                          QStringLiteral("自動ダウンロードの結果と売買管理の明示を通知する"), {240, 330, 7200, 300});
    MakeLabel(frame, QStringLiteral("（タスクトレイのあるデスクトップで表示されます）"), {480, 705, 7000, 300});
    auto* tray = MakeFrame(this, QStringLiteral("タスクトレイ"), {120, 1410, 7700, 1230});
    ChkTrayOnClose = MakeCheck(tray, QStringLiteral("ChkTrayOnClose"),
                               QStringLiteral("ウィンドウを閉じてもタスクトレイで動作を続ける"), {240, 330, 7200, 300});
    MakeLabel(tray, QStringLiteral("（終了はタスクトレイのメニューから行います）"), {480, 705, 7000, 300});
    MakeSaveButton(QStringLiteral("CmdNotifyConfigSave"));
    ChkNotify->setChecked(true);
    connect(ChkNotify, &QCheckBox::toggled, this, &NotifySettingsPage::EnableSave);
    connect(ChkTrayOnClose, &QCheckBox::toggled, this, &NotifySettingsPage::EnableSave);
}

void NotifySettingsPage::Show(const settings::Snapshot& s) {
    ChkNotify->setChecked(s.Checked(keys::NotifyMode));
    ChkTrayOnClose->setChecked(s.Checked(keys::TrayOnClose));
}

settings::GroupValues NotifySettingsPage::Values() const {
    return {{&keys::NotifyMode, settings::FormatCheck(ChkNotify->isChecked())},
            {&keys::TrayOnClose, settings::FormatCheck(ChkTrayOnClose->isChecked())}};
}

}  // namespace mirolanda::app
