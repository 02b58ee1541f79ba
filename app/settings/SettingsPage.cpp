#include "app/settings/SettingsPage.h"

#include <QPushButton>

#include "app/widgets/Controls.h"
#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

SettingsPage::SettingsPage(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    new AnchorLayout(this);
}

void SettingsPage::Load() {
    Show(services_.Settings().Current());
    Save();
}

void SettingsPage::Save() { services_.Settings().WriteGroup(Values()); }

void SettingsPage::DisableSave() { save_->setEnabled(false); }

void SettingsPage::EnableSave() { save_->setEnabled(true); }

void SettingsPage::MakeSaveButton(const QString& name) {
    save_ = MakeButton(this, name, QStringLiteral("設定の保存(&S)"), {6345, 3540, 1500, 375}, kBottomRight);
    connect(save_, &QPushButton::clicked, this, [this] {
        Guarded(services_, [this] {
            Save();
            DisableSave();
        });
    });
}

}  // namespace mirolanda::app
