// The automatic download: the pure rules as tables (when a tick is due, the start-time
// check), then the timer's tick driven through the window with a stopped clock and a
// scripted download: waiting, starting, recording, retrying, the early window, the re-run
// question and the start-time box.
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTabWidget>

#include "WindowFixture.h"
#include "app/download/AutoDownload.h"
#include "app/download/AutoDownloadRules.h"
#include "app/settings/AutoSettingsPage.h"
#include "app/calendar/CalendarTab.h"
#include "app/calendar/MonthPreview.h"
#include "calendar/Calender.h"
#include "platform/Folders.h"
#include "app/settings/SettingsTab.h"

namespace mirolanda::app::test {
namespace {

platform::DateTime At(int y, int mo, int d, int h, int mi, int s = 0) { return {{y, mo, d}, h, mi, s}; }

TEST(AutoDownloadRules, StartTimeIsCheckedAndNormalised) {
    struct Case {
        const char* text;
        const char* expected;  // nullptr: refused
    };
    const Case cases[] = {
        {"2130", "21:30"}, {"0930", "09:30"}, {"9:5", "09:05"},  {"21:305", "21:30"}, {"24:00", "24:00"},
        {"00:00", "00:00"}, {"7:00", "07:00"}, {"021:30", "21:30"}, {"930", nullptr},   {"25:00", nullptr},
        {"12:60", nullptr}, {"", nullptr},     {":30", nullptr},    {"21:", nullptr},   {"ab:cd", nullptr},
        {"-1:00", nullptr}, {"21.5:00", nullptr}, {"２１３０", nullptr}, {"21:3x", nullptr}, {"12345", nullptr},
    };
    for (const Case& c : cases) {
        auto got = NormaliseStartTime(c.text);
        if (c.expected) {
            ASSERT_TRUE(got.has_value()) << c.text;
            EXPECT_EQ(*got, c.expected) << c.text;
        } else {
            EXPECT_FALSE(got.has_value()) << c.text << " gave " << got.value_or("");
        }
    }
}

TEST(AutoDownloadRules, TickIsDueOnlyAfterTheStartTimeOfAnUndoneDataDate) {
    struct Case {
        bool autoOn;
        int state;
        const char* last;
        const char* dataDate;
        const char* start;
        platform::DateTime now;
        bool due;
        std::optional<platform::DateTime> retryAt = std::nullopt;
    };
    const Case cases[] = {
        {true, 0, "", "20261207", "21:30", At(2026, 12, 7, 21, 29, 59), false},
        {true, 0, "", "20261207", "21:30", At(2026, 12, 7, 21, 30, 0), true},
        {true, 0, "", "20261207", "21:30", At(2026, 12, 7, 23, 59), true},
        {false, 0, "", "20261207", "21:30", At(2026, 12, 7, 22, 0), false},
        {true, 1, "", "20261207", "21:30", At(2026, 12, 7, 22, 0), false},
        // The last command failed: the automation starts all the same, after its own wait.
        {true, -1, "", "20261207", "21:30", At(2026, 12, 7, 22, 0), true},
        {true, -1, "", "20261207", "21:30", At(2026, 12, 7, 21, 34, 59), false, At(2026, 12, 7, 21, 35)},
        {true, 0, "", "20261207", "21:30", At(2026, 12, 7, 21, 35), true, At(2026, 12, 7, 21, 35)},
        {true, 0, "20261207", "20261207", "21:30", At(2026, 12, 7, 22, 0), false},
        {true, 0, "20261204", "20261207", "21:30", At(2026, 12, 7, 22, 0), true},
        // Early window: on the data date itself the start time lies after the next midnight.
        {true, 0, "", "20261207", "02:00", At(2026, 12, 7, 23, 0), false},
        {true, 0, "", "20261207", "02:00", At(2026, 12, 8, 1, 59), false},
        {true, 0, "", "20261207", "02:00", At(2026, 12, 8, 2, 0), true},
        {true, 0, "", "20261204", "08:59", At(2026, 12, 5, 8, 59), true},
        // 09:00 is past the early window: the same-day rule applies.
        {true, 0, "", "20261207", "09:00", At(2026, 12, 7, 9, 0), true},
        // 24:00 is never reached.
        {true, 0, "", "20261207", "24:00", At(2026, 12, 7, 23, 59), false},
    };
    for (const Case& c : cases) {
        AutoTick tick{c.autoOn, c.state, c.last, c.dataDate, c.start, c.now, c.retryAt};
        EXPECT_EQ(IsAutoDownloadDue(tick), c.due)
            << c.start << " at " << platform::FormatYmd(c.now.Day) << " " << platform::FormatHhMm(c.now) << " last " << c.last;
    }
}

TEST(AutoDownloadRules, TheWaitAfterAFailureDoublesUpToTwoHours) {
    const std::pair<int, int> waits[] = {{1, 5}, {2, 10}, {3, 20}, {4, 40}, {5, 80}, {6, 120}, {7, 120}, {40, 120}};
    for (const auto& [failures, minutes] : waits) EXPECT_EQ(RetryDelayMinutes(failures), minutes) << failures;
}

class AutoTest : public WindowTest {
protected:
    AutoTest() {
        Store("Parameters/AutoMode", "1");
        Store("Parameters/AutoTime", "21:30");
    }
    AutoDownload& Auto() { return *window->Automation(); }
    // One tick; true when it started a download (which is then waited for).
    bool TickAndWait() {
        int before = download.Runs();
        Auto().Tick();
        if (!window->Download()->Busy()) return false;
        EXPECT_TRUE(WaitForDownload());
        return download.Runs() == before + 1;
    }
};

TEST_F(AutoTest, WaitsForTheStartTimeThenDownloadsOnceAndRecordsTheDataDate) {
    clock.Set(At(2026, 12, 7, 21, 29, 55));  // a Monday
    Open();
    EXPECT_TRUE(Auto().Timer().isActive());
    EXPECT_EQ(Auto().Timer().interval(), 10000);
    EXPECT_FALSE(TickAndWait());
    clock.Set(At(2026, 12, 7, 21, 30, 5));
    EXPECT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
    EXPECT_EQ(window->DownloadState(), 0);
    clock.Set(At(2026, 12, 7, 21, 30, 15));
    EXPECT_FALSE(TickAndWait());
    EXPECT_EQ(download.Runs(), 1);
}

TEST_F(AutoTest, AFailedDownloadIsTriedAgainAfterAGrowingWaitThatTheStatusLineNames) {
    download.Script({{false, 1200}, {false, 0}, {true, 3600}});
    clock.Set(At(2026, 12, 7, 21, 30, 0));
    Open();
    EXPECT_TRUE(TickAndWait());
    EXPECT_FALSE(IsStored("Parameters/LastAutoDownLoad"));
    EXPECT_EQ(Status(), "Internet Error(Connection refused)　次回の自動ダウンロード 21:35");
    clock.Set(At(2026, 12, 7, 21, 34, 50));
    EXPECT_FALSE(TickAndWait()) << "not every ten seconds";
    clock.Set(At(2026, 12, 7, 21, 35, 0));
    EXPECT_TRUE(TickAndWait());
    EXPECT_TRUE(Status().endsWith("次回の自動ダウンロード 21:45"));
    clock.Set(At(2026, 12, 7, 21, 44, 59));
    EXPECT_FALSE(TickAndWait());
    clock.Set(At(2026, 12, 7, 21, 45, 0));
    EXPECT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
    EXPECT_EQ(download.Runs(), 3);
}

TEST_F(AutoTest, AFailedManualDownloadDoesNotKeepTheAutomationFromStarting) {
    download.Script({{false, 10}, {true, 3600}});
    clock.Set(At(2026, 12, 7, 20, 0));
    Open();
    ASSERT_TRUE(window->Download()->CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload());
    EXPECT_EQ(window->DownloadState(), -1);
    EXPECT_EQ(Status(), "Internet Error(Connection refused)") << "the failure is shown";
    clock.Set(At(2026, 12, 7, 21, 31));
    EXPECT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
}

TEST_F(AutoTest, EarlyStartTimeDownloadsThePreviousDayAfterMidnight) {
    Store("Parameters/AutoTime", "02:00");
    clock.Set(At(2026, 12, 7, 23, 0));
    Open();
    EXPECT_FALSE(TickAndWait());
    clock.Set(At(2026, 12, 8, 2, 0, 5));
    EXPECT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
}

TEST_F(AutoTest, RerunQuestionAtStartUpAndWhenTicked) {
    Store("Parameters/LastAutoDownLoad", "20261207");
    clock.Set(At(2026, 12, 7, 22, 0));
    Open();
    // Loading the ticked mode asks, as the user ticking it would.
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.shown[0].Title, "自動ダウンロード設定");
    EXPECT_EQ(dialogs.shown[0].Text, "既に本日分の自動ダウンロードは完了済みですが、\r再度実行しますか？");
    EXPECT_EQ(dialogs.shown[0].Default, DefaultButton::No) << "Enter must never start a whole download";
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207") << "No changes nothing";
    EXPECT_FALSE(TickAndWait());

    QCheckBox* mode = Control<QCheckBox>("ChkAuto");
    dialogs.answerYes = true;
    mode->setChecked(false);
    mode->setChecked(true);
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "");
    EXPECT_TRUE(Control<QPushButton>("CmdAutoConfigSave")->isEnabled());
    EXPECT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
}

// The holidays are read before the settings, so the question at start-up knows them: with
// Monday 12/07 a listed holiday, Friday 12/04 is the data date and has been done.
TEST_F(AutoTest, TheStartUpQuestionKnowsTheHolidays) {
    platform::Table holidays;
    calendar::ResetHolidayTable(holidays);
    holidays.AddRow({"12/07", "臨時休場"});
    calendar::SaveCalender(holidays, platform::CalenderFile(program));
    Store("Parameters/LastAutoDownLoad", "20261204");
    clock.Set(At(2026, 12, 7, 22, 0));
    Open();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Question);
    EXPECT_EQ(window->DataDate(), "20261204");
    EXPECT_EQ(window->Calendar()->Preview()->ShownYear(), 2026);
    EXPECT_EQ(window->Calendar()->Preview()->ShownMonth(), 12);
}

TEST_F(AutoTest, NoQuestionWhenTheDataDateIsNotDone) {
    Store("Parameters/LastAutoDownLoad", "20261204");
    Open();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AutoTest, EditingTheStartTimeKeepsTheModeAndLeavingTheBoxChecksIt) {
    clock.Set(At(2026, 12, 7, 22, 0));
    Open();
    AutoSettingsPage& page = window->Config()->Automation();
    ASSERT_TRUE(Control<QCheckBox>("ChkAuto")->isChecked());
    Control<QLineEdit>("TxtAutoStartTime")->setText("2130");
    EXPECT_TRUE(Control<QCheckBox>("ChkAuto")->isChecked()) << "editing the time leaves the automation on";
    EXPECT_TRUE(Control<QPushButton>("CmdAutoConfigSave")->isEnabled());
    EXPECT_TRUE(page.ValidateStartTime());
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "21:30");
    EXPECT_TRUE(dialogs.shown.empty());

    Control<QLineEdit>("TxtAutoStartTime")->setText("12:60");
    EXPECT_FALSE(page.ValidateStartTime());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.shown[0].Title, "自動ダウンロード設定");
    EXPECT_EQ(dialogs.shown[0].Text, "設定値が正しくありません。");
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "12:60");
    EXPECT_EQ(Stored("Parameters/AutoTime"), "21:30") << "the store is not touched";
}

TEST_F(AutoTest, LeavingTheStartTimeBoxByFocusRunsTheCheck) {
    Open();
    Control<QLineEdit>("TxtAutoStartTime")->setText("0930");
    // Focus lost to a message box is not leaving the box.
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(Control<QLineEdit>("TxtAutoStartTime"), &toBox);
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "0930");
    QFocusEvent tabbedAway(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Control<QLineEdit>("TxtAutoStartTime"), &tabbedAway);
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "09:30");
}

}  // namespace
}  // namespace mirolanda::app::test
