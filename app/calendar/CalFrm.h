// The holiday dialog "カレンダー": a month/day box and a name box with OK (add) or 変更
// (change) and ｷｬﾝｾﾙ. It only collects the texts; the calendar tab applies them, so that a
// failed save can leave the dialog open with what was typed.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mirolanda::app {

class CalFrm final : public QDialog {
    Q_OBJECT
public:
    explicit CalFrm(QWidget* parent = nullptr);

    // Empty boxes, apply button "OK": the dialog adds a row.
    void SetAddMode();
    // The row's texts in the boxes, apply button "変更": the dialog changes that row.
    void SetEditMode(int row, const QString& mmdd, const QString& name);

    // Puts the cursor into the month/day box, its text selected, as the dialog opens.
    void FocusMonthDay();

    bool IsAdding() const;
    int EditRow() const { return editRow_; }
    QString MonthDay() const;
    QString HolidayName() const;

    // Cancel, Esc and the close box: the boxes are emptied and nothing is applied.
    void reject() override;

signals:
    // CmdOK was pressed; the receiver applies the texts and closes the dialog on success.
    void ApplyRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* TxtMmDd;
    QLineEdit* TxtName;
    QPushButton* CmdOK;
    QPushButton* CmdNG;
    int editRow_ = -1;
};

}  // namespace mirolanda::app
