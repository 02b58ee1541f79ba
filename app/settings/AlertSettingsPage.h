// The inner tab "売買管理": the holdings alert settings (rise and fall checks, percentages
// and colours), the candlestick chart's colours and their save button, loaded from and saved
// to the settings store.
#pragma once

#include <QLabel>
#include <cstdint>

#include "app/settings/SettingsPage.h"

class QCheckBox;
class QLineEdit;

namespace mirolanda::app {

class ChartColourGroup;

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
    // Space or Enter picks the colour as a click does, for the keyboard.
    void keyPressEvent(QKeyEvent* event) override;

private:
    uint32_t bgr_ = 0;
};

class AlertSettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit AlertSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    void Show(const settings::Snapshot& settings) override;

private:
    // Opens the colour picker for one of the labels; a cancelled picker keeps the colour
    // but still counts as a change.
    void PickColor(ColorLabel* label);

    QCheckBox* ChkBuyUpFlag = nullptr;
    QLineEdit* TxtBuyUpPercent = nullptr;
    ColorLabel* LblBuyColor1 = nullptr;
    QCheckBox* ChkBuyDownFlag = nullptr;
    QLineEdit* TxtBuyDownPercent = nullptr;
    ColorLabel* LblBuyColor2 = nullptr;
    ChartColourGroup* FrmChartColor = nullptr;
};

}  // namespace mirolanda::app
