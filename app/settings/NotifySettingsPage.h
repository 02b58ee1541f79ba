// The inner tab "通知": desktop notifications of downloads and alerts, and whether closing the
// window leaves the program running in the tray; with their save button.
#pragma once

#include "app/settings/SettingsPage.h"

class QCheckBox;

namespace mirolanda::app {

class NotifySettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit NotifySettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    void Show(const settings::Snapshot& settings) override;

private:
    QCheckBox* ChkNotify = nullptr;
    QCheckBox* ChkTrayOnClose = nullptr;
};

}  // namespace mirolanda::app
