#include "app/settings/AlertSettingsPage.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "app/settings/ChartColourGroup.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/widgets/TableModel.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

ColorLabel::ColorLabel(const QString& caption, uint32_t bgr, QWidget* parent) : QLabel(caption, parent) {
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(QStringLiteral("スペースキーで色を選びます"));
    SetBgr(bgr);
}

void ColorLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ColorLabel::SetBgr(uint32_t bgr) {
    bgr_ = bgr & 0xFFFFFF;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorFromBgr(bgr_));
    p.setColor(QPalette::WindowText, ContrastingText(ColorFromBgr(bgr_)));
    setPalette(p);
}

void ColorLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

AlertSettingsPage::AlertSettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    ChkBuyUpFlag = MakeCheck(this, QStringLiteral("ChkBuyUpFlag"),
                             QStringLiteral("株価が購入時より一定パーセント以上の場合明示する"), {120, 150, 7600, 300});
    TxtBuyUpPercent = MakeEdit(this, QStringLiteral("TxtBuyUpPercent"), {480, 510, 900, 330});
    MakeLabel(this, QStringLiteral("％以上の場合"), {1440, 525, 1500, 300});
    LblBuyColor1 = Named(new ColorLabel(QStringLiteral("この色"), 65280, this), QStringLiteral("LblBuyColor1"), {3000, 510, 900, 330});
    MakeLabel(this, QStringLiteral("で明示する"), {3960, 525, 1500, 300});

    ChkBuyDownFlag = MakeCheck(this, QStringLiteral("ChkBuyDownFlag"),
                               QStringLiteral("株価が購入時より一定パーセント以下の場合明示する"), {120, 1110, 7600, 300});
    TxtBuyDownPercent = MakeEdit(this, QStringLiteral("TxtBuyDownPercent"), {480, 1470, 900, 330});
    MakeLabel(this, QStringLiteral("％以下の場合"), {1440, 1485, 1500, 300});
    LblBuyColor2 = Named(new ColorLabel(QStringLiteral("この色"), 255, this), QStringLiteral("LblBuyColor2"), {3000, 1470, 900, 330});
    MakeLabel(this, QStringLiteral("で明示する"), {3960, 1485, 1500, 300});
    TxtBuyUpPercent->setAccessibleName(QStringLiteral("上昇を明示するパーセント"));
    TxtBuyDownPercent->setAccessibleName(QStringLiteral("下落を明示するパーセント"));
    LblBuyColor1->setAccessibleName(QStringLiteral("上昇を明示する色"));
    LblBuyColor2->setAccessibleName(QStringLiteral("下落を明示する色"));
    TxtBuyUpPercent->setAlignment(Qt::AlignRight);
    TxtBuyDownPercent->setAlignment(Qt::AlignRight);
    ChkBuyUpFlag->setChecked(true);
    ChkBuyDownFlag->setChecked(true);

    FrmChartColor = Named(new ChartColourGroup(services, this), QStringLiteral("FrmChartColor"), {120, 2040, 5460, 840});

    MakeSaveButton(QStringLiteral("CmdBuyConfigSave"));

    connect(ChkBuyUpFlag, &QCheckBox::toggled, this, &AlertSettingsPage::EnableSave);
    connect(ChkBuyDownFlag, &QCheckBox::toggled, this, &AlertSettingsPage::EnableSave);
    connect(TxtBuyUpPercent, &QLineEdit::textChanged, this, &AlertSettingsPage::EnableSave);
    connect(TxtBuyDownPercent, &QLineEdit::textChanged, this, &AlertSettingsPage::EnableSave);
    connect(LblBuyColor1, &ColorLabel::clicked, this, [this] { PickColor(LblBuyColor1); });
    connect(LblBuyColor2, &ColorLabel::clicked, this, [this] { PickColor(LblBuyColor2); });
    connect(FrmChartColor, &ChartColourGroup::changed, this, &AlertSettingsPage::EnableSave);
}

void AlertSettingsPage::PickColor(ColorLabel* label) {
    if (auto color = services_.Dialog().ChooseColor(window(), ColorFromBgr(label->Bgr()))) label->SetBgr(BgrFromColor(*color));
    EnableSave();
}

void AlertSettingsPage::Show(const settings::Snapshot& s) {
    namespace keys = settings::keys;
    ChkBuyUpFlag->setChecked(s.Checked(keys::BuyUpChkMode));
    TxtBuyUpPercent->setText(QString::fromStdString(s.Text(keys::BuyUpNum)));
    LblBuyColor1->SetBgr(s.Color(keys::BuyUpColor));
    ChkBuyDownFlag->setChecked(s.Checked(keys::BuyDownChkMode));
    TxtBuyDownPercent->setText(QString::fromStdString(s.Text(keys::BuyDownNum)));
    LblBuyColor2->SetBgr(s.Color(keys::BuyDownColor));
    FrmChartColor->Show(s);
}

settings::GroupValues AlertSettingsPage::Values() const {
    namespace keys = settings::keys;
    settings::GroupValues values{
        {&keys::BuyUpChkMode, settings::FormatCheck(ChkBuyUpFlag->isChecked())},
        {&keys::BuyUpNum, TxtBuyUpPercent->text().toStdString()},
        {&keys::BuyUpColor, std::to_string(LblBuyColor1->Bgr())},
        {&keys::BuyDownChkMode, settings::FormatCheck(ChkBuyDownFlag->isChecked())},
        {&keys::BuyDownNum, TxtBuyDownPercent->text().toStdString()},
        {&keys::BuyDownColor, std::to_string(LblBuyColor2->Bgr())},
    };
    const settings::GroupValues chart = FrmChartColor->Values();
    values.insert(values.end(), chart.begin(), chart.end());
    return values;
}

}  // namespace mirolanda::app
