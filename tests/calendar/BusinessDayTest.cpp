// Which days are business days and which trading day the newest prices belong to.
#include <gtest/gtest.h>

#include "calendar/Calender.h"
#include "HolidayTable.h"

namespace mirolanda::calendar {
namespace {

using platform::Date;
using platform::DateTime;
using platform::FixedClock;
using platform::Table;

std::string DataDateAt(const Table& table, Date day, int hour, int minute) {
    FixedClock clock(DateTime{day, hour, minute, 0});
    return GetDataDate(table, clock);
}

// 2026-12-05 is a Saturday, 2026-12-06 a Sunday, 2026-12-07 a Monday.
TEST(HolidayName, WeekendsListedDaysAndSubstitutes) {
    Table table = Holidays({{"12/09", "休場"},
                            {"12/09", "二つ目"},
                            {" 12/06 ", " 日曜の祝日 "},
                            {"12/12", "土曜の祝日"},
                            {"12/21", "月曜の祝日"},
                            {"12/20", "日曜の祝日2"},
                            {"5/3", "ゼロなし"}});
    struct Case {
        const char* date;
        const char* reason;
    } cases[] = {
        {"2026/12/05", "土曜日"},
        {"2026/12/06", "日曜日"},                   // listed, but Sunday comes first
        {"2026/12/07", "日曜の祝日の振替"},         // Monday after a listed Sunday (cells trimmed)
        {"2026/12/08", ""},
        {"2026/12/09", "休場"},                     // first of two rows wins
        {"2026/12/14", ""},                         // a listed Saturday gives no substitute
        {"2026/12/21", "月曜の祝日"},               // a listed Monday keeps its own name
        {"2026/12/22", ""},                         // and the Tuesday after it is a business day
        {"2025/05/03", "土曜日"},
        {"2027/05/03", ""},                         // "5/3" never matches 05/03
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetHolidayName(table, c.date), c.reason) << c.date;
    }
}

TEST(HolidayName, MalformedDateTextIsAnError) {
    Table table = Holidays({});
    EXPECT_THROW(GetHolidayName(table, "2026/13/01"), platform::Error);
    EXPECT_THROW(GetHolidayName(table, "2026-12-01"), platform::Error);
    EXPECT_THROW(GetHolidayName(table, ""), platform::Error);
}

TEST(DataDate, WorkedCases) {
    const Table empty = Holidays({});
    const Date saturday{2026, 12, 5}, monday{2026, 12, 7}, tuesday{2026, 12, 8};
    EXPECT_EQ(DataDateAt(empty, saturday, 14, 0), "20261204");
    EXPECT_EQ(DataDateAt(empty, monday, 8, 30), "20261204");
    EXPECT_EQ(DataDateAt(empty, tuesday, 8, 59), "20261207");
    EXPECT_EQ(DataDateAt(empty, tuesday, 9, 0), "20261208");
    EXPECT_EQ(DataDateAt(empty, monday, 0, 0), "20261204");
    EXPECT_EQ(DataDateAt(empty, monday, 23, 59), "20261207");

    const Table sunday = Holidays({{"12/06", "日曜の祝日"}});
    EXPECT_EQ(DataDateAt(sunday, monday, 15, 0), "20261204");
    EXPECT_EQ(DataDateAt(sunday, tuesday, 8, 59), "20261204");

    const Table saturdayListed = Holidays({{"12/05", "土曜の祝日"}});
    EXPECT_EQ(DataDateAt(saturdayListed, monday, 15, 0), "20261207");

    // Across a year end: 2027/01/01 (Friday) listed, New Year's morning before nine.
    const Table newYear = Holidays({{"01/01", "元日"}});
    EXPECT_EQ(DataDateAt(newYear, Date{2027, 1, 2}, 10, 0), "20261231");
    EXPECT_EQ(DataDateAt(newYear, Date{2027, 1, 1}, 8, 0), "20261231");
}

// Every month/day listed except one: the only business days left are that day's weekdays.
Table AllDaysBut(std::string_view spared) {
    Table table;
    ResetHolidayTable(table);
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= platform::DaysInMonth(2024, month); ++day) {
            std::string mmdd = platform::FormatSlashed(Date{2024, month, day}).substr(5);
            if (mmdd != spared) table.AddRow({mmdd, "休"});
        }
    }
    return table;
}

TEST(DataDate, LooksBackAtMostOneYear) {
    // 2021/12/03 is a Friday; a year later 2022/12/03 is a Saturday, so it is the only
    // business day in reach of a start 366 days after it.
    const Date spared{2021, 12, 3};
    ASSERT_EQ(platform::Weekday(spared), 5);
    const Table table = AllDaysBut("12/03");
    EXPECT_EQ(DataDateAt(table, platform::AddDays(spared, 366), 10, 0), "20211203");
    EXPECT_THROW(DataDateAt(table, platform::AddDays(spared, 367), 10, 0), NoBusinessDayError);
}

TEST(DataDate, NoBusinessDayAtAllEndsWithAClearMessage) {
    const Table table = AllDaysBut("");
    try {
        DataDateAt(table, Date{2026, 12, 7}, 10, 0);
        FAIL() << "no error";
    } catch (const NoBusinessDayError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("2026/12/07"), std::string::npos) << what;
        EXPECT_NE(what.find("Calender.txt"), std::string::npos) << what;
    }
}

TEST(DataDate, StopsAtTheFirstDayDatesCanHold) {
    EXPECT_THROW(DataDateAt(AllDaysBut(""), Date{1, 1, 20}, 10, 0), NoBusinessDayError);
}

}  // namespace
}  // namespace mirolanda::calendar
