// The month view's cells and the year box check.
#include <gtest/gtest.h>

#include "calendar/Calender.h"
#include "HolidayTable.h"
#include "calendar/MonthView.h"

namespace mirolanda::calendar {
namespace {

using platform::Table;

std::string Captions(const CalenderMonth& view) {
    std::string all;
    for (const auto& cell : view.Cells) all += (cell.Caption.empty() ? std::string("--") : cell.Caption) + " ";
    return all;
}

// May 2026 begins on a Friday; the 3rd is a Sunday, and its substitute comes after the
// holidays of the 4th and 5th. The built-in calendar marks them whatever the list holds.
TEST(MonthView, GoldenWeekWithItsSubstituteHoliday) {
    const CalenderMonth view = BuildCalenderMonth(Holidays({{"05/03", "憲法記念日"}, {"05/29", "創立記念日"}}), 2026, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(view.Cells[i].Caption, "") << i;
        EXPECT_EQ(view.Cells[i].Reason, "") << i;
    }
    struct Expect {
        int cell;
        const char* caption;
        const char* reason;
    } cells[] = {
        {5, "01", ""},           {6, "02", "土曜日"},     {7, "03", "日曜日"},       {8, "04", "みどりの日"},
        {9, "05", "こどもの日"}, {10, "06", "振替休日"}, {11, "07", ""},             {33, "29", "創立記念日"},
        {35, "31", "日曜日"},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(view.Cells[c.cell].Caption, c.caption) << c.cell;
        EXPECT_EQ(view.Cells[c.cell].Reason, c.reason) << c.cell;
        EXPECT_EQ(view.Cells[c.cell].IsHoliday(), *c.reason != '\0') << c.cell;
    }
    for (int i = 36; i < kMonthCellCount; ++i) EXPECT_EQ(view.Cells[i].Caption, "") << i;
}

TEST(MonthView, FirstAndLastCellsFollowTheWeekdayOfTheFirst) {
    const Table none = Holidays({});
    // February 2026 begins on a Sunday and has 28 days: exactly four full rows.
    EXPECT_EQ(Captions(BuildCalenderMonth(none, 2026, 2)).substr(0, 6), "01 02 ");
    EXPECT_EQ(BuildCalenderMonth(none, 2026, 2).Cells[27].Caption, "28");
    EXPECT_EQ(BuildCalenderMonth(none, 2026, 2).Cells[28].Caption, "");
    // August 2026 begins on a Saturday: cells 0 to 5 stay empty.
    EXPECT_EQ(Captions(BuildCalenderMonth(none, 2026, 8)).substr(0, 21), "-- -- -- -- -- -- 01 ");
    // A leap February shows the 29th (2028/02/01 is a Tuesday).
    const CalenderMonth leap = BuildCalenderMonth(none, 2028, 2);
    EXPECT_EQ(leap.Cells[30].Caption, "29");
    EXPECT_EQ(leap.Cells[31].Caption, "");
    // The last month dates can hold builds without stepping past 9999/12/31.
    const CalenderMonth last = BuildCalenderMonth(none, 9999, 12);
    EXPECT_EQ(Captions(last).find("31"), Captions(last).rfind("31"));
    EXPECT_NE(Captions(last).find("31"), std::string::npos);
}

TEST(MonthView, RefusesMonthsDatesCannotHold) {
    const Table none = Holidays({});
    EXPECT_THROW(BuildCalenderMonth(none, 10000, 1), std::invalid_argument);
    EXPECT_THROW(BuildCalenderMonth(none, 0, 1), std::invalid_argument);
    EXPECT_THROW(BuildCalenderMonth(none, 2026, 13), std::invalid_argument);
}

TEST(MonthView, YearBoxTakesOnlyFourDigits) {
    EXPECT_EQ(ParseCalenderYear("2026"), 2026);
    EXPECT_EQ(ParseCalenderYear("0001"), 1);
    EXPECT_EQ(ParseCalenderYear("9999"), 9999);
    for (const char* refused : {"", "202", "10000", "0000", "20a6", "abcd", " 202", "202 ", "-202", "２０２６"}) {
        EXPECT_EQ(ParseCalenderYear(refused), std::nullopt) << refused;
    }
}

}  // namespace
}  // namespace mirolanda::calendar
