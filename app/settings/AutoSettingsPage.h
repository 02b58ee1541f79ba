// The inner tab "自動処理": the automatic download's settings (mode, start time, the two
// automatic saves, the completeness check and its minimum) and their save button.
#pragma once

#include "app/settings/SettingsPage.h"

class QCheckBox;
class QLineEdit;

namespace mirolanda::app {

class AutoSettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit AutoSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    // Puts the mode last, so that a re-run question sees the group's other settings.
    void Show(const settings::Snapshot& settings) override;

    // Checks the start time when the box is left: a valid time is rewritten as "hh:nn",
    // an invalid one gives the message and the focus goes back to the box. True when valid.
    bool ValidateStartTime();

signals:
    // `ChkAuto` became ticked, by the user or by loading the settings.
    void AutoModeTicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCheckBox* ChkAuto = nullptr;
    QLineEdit* TxtAutoStartTime = nullptr;
    QCheckBox* ChkAutoCsvSave = nullptr;
    QCheckBox* ChkAutoDataSave = nullptr;
    QCheckBox* ChkAutoDownloadCheck = nullptr;
    QLineEdit* TxtAutoMinNum = nullptr;
};

}  // namespace mirolanda::app
