// The inner tab "カレンダー": the holiday table FgClender with its add, edit and delete
// buttons, the month view frame "プレビュー", and the holiday dialog CalFrm. Every change to
// the holidays is saved to "Calender.txt" at once and shown in the month view.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>

#include "platform/Date.h"
#include "platform/Table.h"

class QPushButton;
class QTableView;

namespace mirolanda::app {

class CalFrm;
class Dialogs;
class MonthPreview;
class TableModel;

class CalendarTab final : public QWidget {
    Q_OBJECT
public:
    // The table is the window's holiday table (the business-day rules read it); the file is
    // the program folder's "Calender.txt". The month view starts at the clock's present month.
    CalendarTab(platform::Table& holidays, std::filesystem::path calenderFile, const platform::Clock& clock,
                QWidget* parent = nullptr);
    ~CalendarTab() override;

    // Reads the holiday file into the table and redraws table and month view. A file that
    // cannot be read is reported in a message box naming it; the list is then empty.
    void LoadHolidays();
    // Puts the year and month into the year box and month list; the month view follows.
    void ShowMonth(int year, int month);

    // Where messages go; the window passes its own, tests a recording one. Not owned.
    void SetDialogs(Dialogs* dialogs);

    MonthPreview* Preview() const { return preview_; }
    CalFrm* HolidayDialog() const { return dialog_; }

signals:
    // The holiday table changed (loaded, added, edited or deleted): data dates may differ.
    void HolidaysChanged();

private:
    void CmdCalAdd_Click();
    void CmdCalMod_Click();
    void CmdCalDel_Click();
    // Centres the holiday dialog over the window and opens it.
    void OpenHolidayDialog();
    void ApplyHoliday(bool adding, int editRow, const QString& mmdd, const QString& name);
    bool SaveOrRestore(const platform::Table& before);
    void Refresh(int currentRow);
    int CurrentHolidayRow() const;

    platform::Table& holidays_;
    std::filesystem::path calenderFile_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_;
    TableModel* model_;
    QTableView* FgClender;
    QPushButton* CmdCalAdd;
    QPushButton* CmdCalMod;
    QPushButton* CmdCalDel;
    MonthPreview* preview_;
    CalFrm* dialog_;
};

}  // namespace mirolanda::app
