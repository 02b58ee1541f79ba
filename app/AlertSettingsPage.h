// The inner tab "売買管理": the holdings alert settings (rise and fall checks, percentages
// and colours) and their save button, loaded from and saved to the settings store.
#pragma once

#include <QLabel>
#include <QWidget>
#include <cstdint>

#include "app/WindowServices.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mirolanda::app {

// A label whose background is a colour the user picks by clicking it.
class ColorLabel final : public QLabel {
    Q_OBJECT
public:
    ColorLabel(const QString& caption, uint32_t bgr, QWidget* parent = nullptr);
    uint32_t Bgr() const { return bgr_; }
    void SetBgr(uint32_t bgr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    uint32_t bgr_ = 0;
};

class AlertSettingsPage final : public QWidget {
    Q_OBJECT
public:
    AlertSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    void LoadRegstoryBuy();
    void SaveRegstoryBuy();
    AlertSettings Current() const;
    // Opens the colour picker for one of the labels; a cancelled picker keeps the colour
    // but still counts as a change.
    void PickColor(ColorLabel* label);

    QCheckBox* ChkBuyUpFlag = nullptr;
    QLineEdit* TxtBuyUpPercent = nullptr;
    ColorLabel* LblBuyColor1 = nullptr;
    QCheckBox* ChkBuyDownFlag = nullptr;
    QLineEdit* TxtBuyDownPercent = nullptr;
    ColorLabel* LblBuyColor2 = nullptr;
    QPushButton* CmdBuyConfigSave = nullptr;

private:
    void EnableSave();

    WindowServices& services_;
};

}  // namespace mirolanda::app
