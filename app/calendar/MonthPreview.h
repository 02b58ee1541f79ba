// The frame "プレビュー": one month as six weeks of day labels, non-business days in the
// weekend colour with their reason as tooltip, above them the year box and month list.
#pragma once

#include <QGroupBox>
#include <array>

#include "calendar/MonthView.h"
#include "platform/Table.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace mirolanda::app {

class MonthPreview final : public QGroupBox {
    Q_OBJECT
public:
    // Reads the holiday table at every redraw; the table must outlive the view.
    explicit MonthPreview(const platform::Table& holidays, QWidget* parent = nullptr);

    // Puts the year and month into the year box and the month list; each redraws the view.
    void ShowMonth(int year, int month);
    // Redraws from the year box, the month list and the holiday table. A year box that does
    // not hold a four-digit year leaves the view as it was.
    void ShowCalenderMonth();

    // The month on display (0, 0 before the first drawing).
    int ShownYear() const { return shown_.Year; }
    int ShownMonth() const { return shown_.Month; }

private:
    void TxtCalYear_Change();
    void Show(const calendar::CalenderMonth& month);

    const platform::Table& holidays_;
    calendar::CalenderMonth shown_;
    QLineEdit* TxtCalYear;
    QComboBox* CmbCalMon;
    std::array<QLabel*, 7> LblWeek{};
    std::array<QLabel*, calendar::kMonthCellCount> LblDay{};
};

}  // namespace mirolanda::app
