// The frame 「チャートの色」 of the page 売買管理: the colours of the candlestick chart's rising
// (陽線) and falling (陰線) candles, each on a button that shows a swatch of it and opens the
// colour picker, and 「既定に戻す」. The colours are written only once the user has chosen
// them, so that a settings file without them keeps its bytes and its defaults.
#pragma once

#include <QGroupBox>
#include <cstdint>

#include "app/widgets/FittingButton.h"
#include "settings/Snapshot.h"

namespace mirolanda::app {

class WindowServices;

// A button that shows a swatch of its colour (0x00BBGGRR) beside its caption.
class ColorButton final : public FittingButton {
    Q_OBJECT
public:
    explicit ColorButton(const QString& caption, QWidget* parent = nullptr);
    uint32_t Bgr() const { return bgr_; }
    void SetBgr(uint32_t bgr);

private:
    uint32_t bgr_ = 0;
};

class ChartColourGroup final : public QGroupBox {
    Q_OBJECT
public:
    ChartColourGroup(WindowServices& services, QWidget* parent = nullptr);

    // The two colours once the user has chosen one since Show; nothing before.
    settings::GroupValues Values() const;
    void Show(const settings::Snapshot& settings);

signals:
    // A colour was chosen or put back to its default.
    void changed();

private:
    void Pick(ColorButton* button);
    void Choose(uint32_t up, uint32_t down);

    WindowServices& services_;
    ColorButton* CmdChartUpColor = nullptr;
    ColorButton* CmdChartDownColor = nullptr;
    bool chosen_ = false;
};

}  // namespace mirolanda::app
