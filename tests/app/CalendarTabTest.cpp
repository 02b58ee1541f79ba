// The calendar tab as a user drives it: the holiday dialog's add, edit, delete and cancel with
// the file checked after each, the month view's colours and tooltips, and the year box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "WindowFixture.h"
#include "app/calendar/CalFrm.h"
#include "app/calendar/CalendarTab.h"
#include "app/widgets/Dialogs.h"
#include "app/calendar/MonthPreview.h"
#include "calendar/Calender.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

namespace mirolanda::app {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;
using test::App;
using test::ScriptedDialogs;

const QColor kRed(255, 0, 0);

class CalendarTabTest : public ::testing::Test {
protected:
    CalendarTabTest() : clock_(platform::DateTime{{2026, 5, 20}, 10, 0, 0}) { App(); }

    // A tab over the given file content (UTF-8 here, Shift_JIS in the file; none: no file),
    // loaded as at start-up.
    CalendarTab& Open(const char* content = nullptr) {
        if (content) WriteAll(File(), platform::Utf8ToSjis(content));
        tab_ = std::make_unique<CalendarTab>(holidays_, File(), clock_);
        tab_->SetDialogs(&dialogs_);
        tab_->LoadHolidays();
        return *tab_;
    }
    std::filesystem::path File() const { return folder_ / "Calender.txt"; }
    template <typename W>
    W* Find(const char* name) const {
        W* widget = tab_->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLabel* Day(int i) const { return Find<QLabel>(QStringLiteral("LblDay(%1)").arg(i).toUtf8().constData()); }
    void Click(const char* button) const { Find<QPushButton>(button)->click(); }
    void SelectRow(int row) const {
        auto* view = Find<QTableView>("FgClender");
        view->setCurrentIndex(view->model()->index(row, 0));
    }
    // Fills the open dialog's boxes and presses one of its buttons.
    void Dialog(const QString& mmdd, const QString& name, const char* button) const {
        CalFrm* dialog = tab_->HolidayDialog();
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("TxtMmDd"))->setText(mmdd);
        dialog->findChild<QLineEdit*>(QStringLiteral("TxtName"))->setText(name);
        dialog->findChild<QPushButton*>(QString::fromUtf8(button))->click();
    }
    std::vector<platform::Table::Row> FileRows() const {
        platform::Table table;
        calendar::LoadCalender(table, File());
        return table.Rows();
    }

    TempFolder folder_;
    platform::FixedClock clock_;
    platform::Table holidays_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<CalendarTab> tab_;
};

using Rows = std::vector<platform::Table::Row>;

TEST_F(CalendarTabTest, AddKeepsTableAndFileSorted) {
    Open();
    EXPECT_EQ(holidays_.RowCount(), 0);
    Click("CmdCalAdd");
    EXPECT_EQ(tab_->HolidayDialog()->findChild<QPushButton*>("CmdOK")->text(), "OK");
    Dialog("12/31", "大納会", "CmdOK");
    EXPECT_FALSE(tab_->HolidayDialog()->isVisible());
    Click("CmdCalAdd");
    // A fresh add starts with empty boxes.
    EXPECT_EQ(tab_->HolidayDialog()->findChild<QLineEdit*>("TxtMmDd")->text(), "");
    Dialog(" 01/01 ", "元日, \"祝\"", "CmdOK");
    const Rows expected = {{"01/01", "元日, ＂祝＂"}, {"12/31", "大納会"}};
    EXPECT_EQ(holidays_.Rows(), expected);
    EXPECT_EQ(FileRows(), expected);
    EXPECT_EQ(ReadAll(File()).substr(0, 9), "\"01/01\",\"");
    EXPECT_EQ(Find<QTableView>("FgClender")->currentIndex().row(), 0);  // the new row is current
}

TEST_F(CalendarTabTest, TheCursorStartsInTheDayEveryTimeAndShortOrMissingDaysAreHandled) {
    Open("\"01/01\",\"元日\"\r\n\"12/31\",\"大納会\"\r\n");
    CalFrm* dialog = tab_->HolidayDialog();
    auto* day = dialog->findChild<QLineEdit*>("TxtMmDd");
    auto* name = dialog->findChild<QLineEdit*>("TxtName");
    for (const char* button : {"CmdCalAdd", "CmdCalMod", "CmdCalAdd"}) {
        SelectRow(0);
        Click(button);
        EXPECT_EQ(dialog->focusWidget(), day) << button;
        name->setFocus();  // the user moves on to the name, then cancels
        dialog->findChild<QPushButton*>("CmdNG")->click();
    }
    // A holiday without a day is refused with a message; the dialog stays open.
    Click("CmdCalAdd");
    Dialog("", "名前だけ", "CmdOK");
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].Text, "月/日を入力してください");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(holidays_.RowCount(), 2);
    // A day that does not exist is told so, and the cursor goes back to the day.
    name->setFocus();
    Dialog("2/30", "存在しない日", "CmdOK");
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].Text, "2/30 という日はありません");
    EXPECT_EQ(dialog->focusWidget(), day);
    EXPECT_EQ(day->selectedText(), "2/30");
    EXPECT_EQ(holidays_.RowCount(), 2);
    // "5/3" is taken as 05/03 and sorts among the others.
    Dialog("5/3", "憲法記念日", "CmdOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(FileRows(), (Rows{{"01/01", "元日"}, {"05/03", "憲法記念日"}, {"12/31", "大納会"}}));
}

TEST_F(CalendarTabTest, EditMovesTheRowToItsSortedPlace) {
    Open("\"01/01\",\"元日\"\r\n\"05/03\",\"憲法記念日\"\r\n\"12/31\",\"大納会\"\r\n");
    SelectRow(0);
    Click("CmdCalMod");
    CalFrm* dialog = tab_->HolidayDialog();
    EXPECT_EQ(dialog->findChild<QPushButton*>("CmdOK")->text(), "変更");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("TxtMmDd")->text(), "01/01");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("TxtName")->text(), "元日");
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    Dialog("06/01", "移した日", "CmdOK");
    const Rows expected = {{"05/03", "憲法記念日"}, {"06/01", "移した日"}, {"12/31", "大納会"}};
    EXPECT_EQ(holidays_.Rows(), expected);
    EXPECT_EQ(FileRows(), expected);
}

TEST_F(CalendarTabTest, CancelChangesNothing) {
    const char* content = "\"05/03\",\"憲法記念日\"\r\n";
    Open(content);
    SelectRow(0);
    Click("CmdCalMod");
    Dialog("07/07", "七夕", "CmdNG");
    EXPECT_FALSE(tab_->HolidayDialog()->isVisible());
    EXPECT_EQ(holidays_.Rows(), (Rows{{"05/03", "憲法記念日"}}));
    EXPECT_EQ(ReadAll(File()), platform::Utf8ToSjis(content));
    // The boxes were emptied: an add after the cancel starts blank.
    Click("CmdCalAdd");
    EXPECT_EQ(tab_->HolidayDialog()->findChild<QLineEdit*>("TxtName")->text(), "");
}

TEST_F(CalendarTabTest, DeleteDownToAnEmptyFileThenNothingToActOn) {
    Open("\"05/03\",\"憲法記念日\"\r\n\"05/05\",\"こどもの日\"\r\n");
    SelectRow(0);
    Click("CmdCalDel");
    EXPECT_EQ(FileRows(), (Rows{{"05/05", "こどもの日"}}));
    Click("CmdCalDel");  // the remaining row became current
    EXPECT_EQ(holidays_.RowCount(), 0);
    ASSERT_TRUE(std::filesystem::exists(File()));
    EXPECT_EQ(ReadAll(File()), "");
    // With no holiday row, Edit and Delete do nothing and open nothing.
    Click("CmdCalDel");
    Click("CmdCalMod");
    EXPECT_FALSE(tab_->HolidayDialog()->isVisible());
    EXPECT_EQ(ReadAll(File()), "");
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(CalendarTabTest, EditOrDeleteWithoutACurrentRowDoNothing) {
    const char* content = "\"05/03\",\"憲法記念日\"\r\n";
    Open(content);
    Find<QTableView>("FgClender")->setCurrentIndex(QModelIndex());
    Click("CmdCalDel");
    Click("CmdCalMod");
    EXPECT_FALSE(tab_->HolidayDialog()->isVisible());
    EXPECT_EQ(ReadAll(File()), platform::Utf8ToSjis(content));
}

TEST_F(CalendarTabTest, FailedSaveIsShownAndKeepsTableFileAndTyping) {
    const char* content = "\"05/03\",\"憲法記念日\"\r\n";
    Open(content);
    // A folder where the file must go makes every save fail.
    std::filesystem::remove(File());
    std::filesystem::create_directory(File());
    Click("CmdCalAdd");
    Dialog("05/04", "みどりの日", "CmdOK");
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].Icon, MessageIcon::Critical);
    EXPECT_TRUE(dialogs_.shown[0].Text.contains("Calender.txt")) << dialogs_.shown[0].Text.toStdString();
    EXPECT_EQ(holidays_.Rows(), (Rows{{"05/03", "憲法記念日"}}));
    EXPECT_TRUE(tab_->HolidayDialog()->isVisible());
    EXPECT_EQ(tab_->HolidayDialog()->findChild<QLineEdit*>("TxtName")->text(), "みどりの日");
    tab_->HolidayDialog()->reject();
    SelectRow(0);
    Click("CmdCalDel");
    EXPECT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(holidays_.RowCount(), 1);
}

TEST_F(CalendarTabTest, UnreadableFileIsShownAsAnEmptyList) {
    std::filesystem::create_directory(File());  // exists, but cannot be read as a file
    Open();
    EXPECT_EQ(holidays_.RowCount(), 0);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_TRUE(dialogs_.shown[0].Text.contains("Calender.txt"));
}

// May 2026 begins on a Friday; the 3rd is a Sunday whose substitute holiday is the 6th, after
// the holidays of the 4th and 5th, all known without a holiday file.
TEST_F(CalendarTabTest, MonthViewMarksWeekendsHolidaysAndSubstitutes) {
    Open("\"05/03\",\"憲法記念日\"\r\n");
    EXPECT_EQ(Find<QLineEdit>("TxtCalYear")->text(), "2026");
    EXPECT_EQ(Find<QComboBox>("CmbCalMon")->currentText(), " 5月");
    EXPECT_EQ(Find<QLabel>("LblWeek(0)")->text(), "日");
    EXPECT_EQ(Find<QLabel>("LblWeek(0)")->palette().color(QPalette::WindowText), kRed);
    EXPECT_EQ(Find<QLabel>("LblWeek(6)")->palette().color(QPalette::WindowText), kRed);
    const QColor normal = Find<QLabel>("LblWeek(1)")->palette().color(QPalette::WindowText);
    EXPECT_NE(normal, kRed);

    struct Expect {
        int cell;
        const char* caption;
        const char* tooltip;
    } cells[] = {{4, "", ""},         {5, "01", ""},           {6, "02", "土曜日"},  {7, "03", "日曜日"},
                 {8, "04", "みどりの日"}, {9, "05", "こどもの日"}, {10, "06", "振替休日"}, {11, "07", ""},
                 {35, "31", "日曜日"},   {36, "", ""}};
    for (const auto& c : cells) {
        QLabel* day = Day(c.cell);
        EXPECT_EQ(day->text(), QString::fromUtf8(c.caption)) << c.cell;
        EXPECT_EQ(day->toolTip(), QString::fromUtf8(c.tooltip)) << c.cell;
        EXPECT_EQ(day->palette().color(QPalette::WindowText), *c.tooltip ? kRed : normal) << c.cell;
    }

    // A holiday added in the editor, here for one day only, is marked at once.
    Click("CmdCalAdd");
    Dialog("2026/05/07", "臨時休場", "CmdOK");
    EXPECT_EQ(Day(11)->toolTip(), "臨時休場");
    EXPECT_EQ(Day(11)->palette().color(QPalette::WindowText), kRed);

    // A month whose first day falls later in the week leaves no tooltip on the leading cells.
    tab_->ShowMonth(2026, 8);  // begins on a Saturday
    EXPECT_EQ(Day(5)->toolTip(), "");
    EXPECT_EQ(Day(5)->text(), "");
    EXPECT_EQ(Day(6)->text(), "01");
}

TEST_F(CalendarTabTest, DaysTheListCannotHoldAreRefusedAndUnreadableLinesReported) {
    const char* content = "\"05/03\",\"憲法記念日\"\r\n\"05/07\"2026,\"臨時\"\r\n";
    Open(content);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].Icon, MessageIcon::Warning);
    EXPECT_TRUE(dialogs_.shown[0].Text.contains("Calender.txt")) << dialogs_.shown[0].Text.toStdString();
    EXPECT_TRUE(dialogs_.shown[0].Text.contains("2行目")) << dialogs_.shown[0].Text.toStdString();
    EXPECT_EQ(holidays_.RowCount(), 2);  // shown, so that it can be edited
    EXPECT_EQ(Day(11)->toolTip(), "");   // but it closes no day
    EXPECT_EQ(ReadAll(File()), platform::Utf8ToSjis(content));

    Click("CmdCalAdd");
    Dialog("5/32", "臨時休場", "CmdOK");
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].Text, "5/32 という日はありません");
    EXPECT_TRUE(tab_->HolidayDialog()->isVisible());
    EXPECT_EQ(tab_->HolidayDialog()->findChild<QLineEdit*>("TxtMmDd")->text(), "5/32");
    EXPECT_EQ(holidays_.RowCount(), 2);
    EXPECT_EQ(ReadAll(File()), platform::Utf8ToSjis(content));
    tab_->HolidayDialog()->reject();
}

TEST_F(CalendarTabTest, YearBoxRedrawsOnlyForAFourDigitYear) {
    Open();
    auto* year = Find<QLineEdit>("TxtCalYear");
    const QString first = Day(5)->text();
    ASSERT_EQ(first, "01");  // May 2026
    for (const char* typed : {"2", "20", "202", "abcd", "10000", "0000", "20２6"}) {
        year->setText(QString::fromUtf8(typed));
        EXPECT_EQ(tab_->Preview()->ShownYear(), 2026) << typed;
        EXPECT_EQ(Day(5)->text(), "01") << typed;
    }
    year->setText("2027");  // May 2027 begins on a Saturday
    EXPECT_EQ(tab_->Preview()->ShownYear(), 2027);
    EXPECT_EQ(Day(5)->text(), "");
    EXPECT_EQ(Day(6)->text(), "01");
    year->setText("9999");
    Find<QComboBox>("CmbCalMon")->setCurrentIndex(11);
    EXPECT_EQ(tab_->Preview()->ShownMonth(), 12);
}

}  // namespace
}  // namespace mirolanda::app
