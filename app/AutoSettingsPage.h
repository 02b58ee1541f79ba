// The inner tab "自動処理": the automatic download's settings (mode, start time, the two
// automatic saves, the completeness check and its minimum) and their save button.
#pragma once

#include <QWidget>

#include "app/WindowServices.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mirolanda::app {

class AutoSettingsPage final : public QWidget {
    Q_OBJECT
public:
    AutoSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    void LoadRegstoryAuto();
    void SaveRegstoryAuto();

    // Checks the start time when the box is left: a valid time is rewritten as "hh:nn",
    // an invalid one gives the message and the focus goes back to the box. True when valid.
    bool ValidateStartTime();

    QCheckBox* ChkAuto = nullptr;
    QLineEdit* TxtAutoStartTime = nullptr;
    QCheckBox* ChkAutoCsvSave = nullptr;
    QCheckBox* ChkAutoDataSave = nullptr;
    QCheckBox* ChkAutoDownloadCheck = nullptr;
    QLineEdit* TxtAutoMinNum = nullptr;
    QPushButton* CmdAutoConfigSave = nullptr;

signals:
    // `ChkAuto` became ticked, by the user or by loading the settings.
    void AutoModeTicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnableSave();

    WindowServices& services_;
};

}  // namespace mirolanda::app
