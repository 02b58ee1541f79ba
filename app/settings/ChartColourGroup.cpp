#include "app/settings/ChartColourGroup.h"

#include <QPixmap>

#include "app/commands/WindowServices.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/widgets/TableModel.h"
#include "settings/Keys.h"

namespace mirolanda::app {

namespace keys = settings::keys;

ColorButton::ColorButton(const QString& caption, QWidget* parent) : FittingButton(caption, parent) {
    setIconSize(QSize(24, 12));
}

void ColorButton::SetBgr(uint32_t bgr) {
    bgr_ = bgr & 0xFFFFFF;
    const QColor color = ColorFromBgr(bgr_);
    QPixmap swatch(iconSize());
    swatch.fill(color);
    setIcon(QIcon(swatch));
    // Read out by a screen reader as the button's description.
    setToolTip(QStringLiteral("現在の色 %1").arg(color.name()));
}

ChartColourGroup::ChartColourGroup(WindowServices& services, QWidget* parent)
    : QGroupBox(QStringLiteral("チャートの色"), parent), services_(services) {
    CmdChartUpColor = Named(new ColorButton(QStringLiteral("陽線…(&Y)"), this), QStringLiteral("CmdChartUpColor"),
                            {180, 300, 1620, 375});
    CmdChartDownColor = Named(new ColorButton(QStringLiteral("陰線…(&W)"), this), QStringLiteral("CmdChartDownColor"),
                              {1920, 300, 1620, 375});
    auto* reset = MakeButton(this, QStringLiteral("CmdChartColorDefault"), QStringLiteral("既定に戻す(&R)"),
                             {3660, 300, 1620, 375});
    CmdChartUpColor->setAccessibleName(QStringLiteral("陽線の色"));
    CmdChartDownColor->setAccessibleName(QStringLiteral("陰線の色"));
    reset->setAccessibleName(QStringLiteral("チャートの色を既定に戻す"));
    Show(settings::Snapshot({}));

    connect(CmdChartUpColor, &QPushButton::clicked, this, [this] { Pick(CmdChartUpColor); });
    connect(CmdChartDownColor, &QPushButton::clicked, this, [this] { Pick(CmdChartDownColor); });
    connect(reset, &QPushButton::clicked, this, [this] {
        const settings::Snapshot defaults({});
        Choose(defaults.Color(keys::ChartUpColor), defaults.Color(keys::ChartDownColor));
    });
}

void ChartColourGroup::Pick(ColorButton* button) {
    // A cancelled picker changes nothing, unlike the alert colours' labels.
    auto color = services_.Dialog().ChooseColor(window(), ColorFromBgr(button->Bgr()));
    if (!color) return;
    const uint32_t bgr = BgrFromColor(*color);
    if (button == CmdChartUpColor) {
        Choose(bgr, CmdChartDownColor->Bgr());
    } else {
        Choose(CmdChartUpColor->Bgr(), bgr);
    }
}

void ChartColourGroup::Choose(uint32_t up, uint32_t down) {
    CmdChartUpColor->SetBgr(up);
    CmdChartDownColor->SetBgr(down);
    chosen_ = true;
    emit changed();
}

void ChartColourGroup::Show(const settings::Snapshot& s) {
    CmdChartUpColor->SetBgr(s.Color(keys::ChartUpColor));
    CmdChartDownColor->SetBgr(s.Color(keys::ChartDownColor));
    chosen_ = false;
}

settings::GroupValues ChartColourGroup::Values() const {
    if (!chosen_) return {};
    return {
        {&keys::ChartUpColor, std::to_string(CmdChartUpColor->Bgr())},
        {&keys::ChartDownColor, std::to_string(CmdChartDownColor->Bgr())},
    };
}

}  // namespace mirolanda::app
