#include "app/calendar/MonthPreview.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <stdexcept>

#include "app/widgets/Controls.h"
#include "app/widgets/QtText.h"
#include "app/widgets/TableModel.h"

namespace mirolanda::app {
namespace {

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Layout in twips: the year row, then the headings, then six rows 240 apart, columns 360 apart.
constexpr int kLeft = 120;
constexpr int kHeadingTop = 720;
constexpr int kDayTop = 960;
constexpr int kColumn = 360;
constexpr int kRow = 240;

}  // namespace

MonthPreview::MonthPreview(const platform::Table& holidays, QWidget* parent)
    : QGroupBox(QStringLiteral("プレビュー"), parent), holidays_(holidays) {
    setObjectName(QStringLiteral("FrmCalPreview"));
    TxtCalYear = MakeEdit(this, QStringLiteral("TxtCalYear"), {kLeft, 300, 720, 315});
    TxtCalYear->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MakeLabel(this, Q(calendar::kYearCaption), {kLeft + 780, 300, 300, 315})->setBuddy(TxtCalYear);
    CmbCalMon = Named(new QComboBox(this), QStringLiteral("CmbCalMon"), {kLeft + 1140, 300, 1000, 315});
    for (size_t i = 0; i < calendar::kMonthCaptions.size(); ++i) {
        CmbCalMon->addItem(Q(calendar::kMonthCaptions[i]), static_cast<int>(i) + 1);
    }
    CmbCalMon->setCurrentIndex(-1);
    CmbCalMon->setAccessibleName(QStringLiteral("月"));
    for (int i = 0; i < 7; ++i) {
        LblWeek[i] = MakeLabel(this, Q(calendar::kWeekCaptions[static_cast<size_t>(i)]),
                               {kLeft + i * kColumn, kHeadingTop, kColumn, kRow}, Indexed("LblWeek", i));
        LblWeek[i]->setAlignment(Qt::AlignCenter);
        if (i == 0 || i == 6) SetTextColour(LblWeek[i], ColorFromBgr(calendar::kWeekendColour));
    }
    for (int i = 0; i < calendar::kMonthCellCount; ++i) {
        LblDay[i] = MakeLabel(this, QString(), {kLeft + i % 7 * kColumn, kDayTop + i / 7 * kRow, kColumn, kRow},
                              Indexed("LblDay", i));
        LblDay[i]->setAlignment(Qt::AlignCenter);
    }
    connect(TxtCalYear, &QLineEdit::textChanged, this, &MonthPreview::TxtCalYear_Change);
    connect(CmbCalMon, &QComboBox::currentIndexChanged, this, &MonthPreview::ShowCalenderMonth);
}

void MonthPreview::ShowMonth(int year, int month) {
    TxtCalYear->setText(QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')));
    CmbCalMon->setCurrentIndex(month - 1);
}

void MonthPreview::TxtCalYear_Change() {
    // Typing a year digit by digit redraws only once it is complete.
    if (TxtCalYear->text().size() == 4) ShowCalenderMonth();
}

void MonthPreview::ShowCalenderMonth() {
    auto year = calendar::ParseCalenderYear(TxtCalYear->text().toStdString());
    bool ok = false;
    int month = CmbCalMon->currentData().toInt(&ok);
    if (!year || !ok) return;
    try {
        Show(calendar::BuildCalenderMonth(holidays_, *year, month));
    } catch (const std::invalid_argument&) {
        // Not a month dates can hold: keep what is shown.
    }
}

void MonthPreview::Show(const calendar::CalenderMonth& month) {
    const QColor weekend = LblWeek[0]->palette().color(QPalette::WindowText);
    const QColor weekday = LblWeek[1]->palette().color(QPalette::WindowText);
    for (int i = 0; i < calendar::kMonthCellCount; ++i) {
        const calendar::DayCell& cell = month.Cells[static_cast<size_t>(i)];
        LblDay[i]->setText(QString::fromStdString(cell.Caption));
        LblDay[i]->setToolTip(QString::fromStdString(cell.Reason));
        SetTextColour(LblDay[i], cell.IsHoliday() ? weekend : weekday);
    }
    shown_ = month;
}

}  // namespace mirolanda::app
