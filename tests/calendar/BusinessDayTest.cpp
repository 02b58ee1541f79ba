// Which days are business days and which trading day the newest prices belong to: the
// built-in calendar and the user's list together.
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

struct NameCase {
    const char* date;
    const char* reason;
};

void ExpectNames(const Table& table, std::initializer_list<NameCase> cases) {
    for (const auto& c : cases) EXPECT_EQ(GetHolidayName(table, c.date), c.reason) << c.date;
}

TEST(HolidayName, TheUserListAddsToTheBuiltInCalendar) {
    const Table table = Holidays({{"12/09", "休場"},
                                  {"12/09", "二つ目"},
                                  {" 12/06 ", " 日曜の休み "},
                                  {"08/14", "夏季休業"},
                                  {"2026/12/10", "臨時休場"},
                                  {"2026/05/06", "独自の名前"},
                                  {"05/04", "国民の休日"},
                                  {"12/23", "天皇誕生日"},
                                  {"03/20", "春分の日"},
                                  {"08/11", "山の日"},
                                  {"09/21", "敬老の日"},
                                  {"01/03", "年始休業"},
                                  {"5/3", "ゼロなし"}});
    ExpectNames(table, {
        {"2026/12/05", "土曜日"},
        {"2026/12/06", "日曜日"},
        {"2026/12/07", ""},            // a listed Sunday gives no substitute
        {"2026/12/09", "休場"},        // the first of two lines
        {"2026/08/14", "夏季休業"},    // a closure of the user's own, every year
        {"2026/12/10", "臨時休場"},    // a dated line: that day only
        {"2027/12/10", ""},
        {"2026/05/06", "振替休日"},    // the built-in name comes first
        {"2026/05/04", "みどりの日"},
        {"2026/12/23", ""},            // lines repeating national holidays follow the law's years,
        {"2023/03/20", ""},            // its equinox days,
        {"2020/08/11", ""},            // its moves
        {"2027/09/21", ""},            // and its Monday holidays, known by name
        {"2027/01/04", ""},            // 01/03 on a Sunday closes no Monday
        {"2027/05/03", "憲法記念日"},
        {"2026/01/02", "年末年始休業"},
        {"2026/12/31", "年末年始休業"},
        {"2020/10/01", "システム障害による終日売買停止"},
    });
}

TEST(HolidayName, OutsideTheBuiltInYearsTheListAloneCounts) {
    const Table table = Holidays({{"01/01", "元日"},
                                  {"01/03", "年始休業"},
                                  {"01/15", "成人の日"},
                                  {"05/03", "憲法記念日"},
                                  {"08/15", "お盆休み"},
                                  {"12/04", "土曜の休み"},
                                  {"2100/02/10", "臨時休場"}});
    ExpectNames(table, {
        {"2100/01/01", "元日"},
        {"2100/01/04", ""},                  // 01/03 on a Sunday: a closure, no substitute
        {"2100/08/16", ""},                  // nor for a closure of the user's own
        {"2105/05/04", "憲法記念日の振替"},  // a national holiday on a Sunday: its Monday
        {"1989/01/16", "成人の日の振替"},
        {"2100/12/06", ""},                  // a listed Saturday gives nothing
        {"2105/05/05", ""},                  // national holidays are not known here
        {"2100/12/31", ""},
        {"2099/12/31", "年末年始休業"},
        {"2100/02/10", "臨時休場"},
    });
}

TEST(HolidayName, MalformedDateTextIsAnError) {
    Table table = Holidays({});
    EXPECT_THROW(GetHolidayName(table, "2026/13/01"), platform::Error);
    EXPECT_THROW(GetHolidayName(table, "2026-12-01"), platform::Error);
    EXPECT_THROW(GetHolidayName(table, ""), platform::Error);
}

TEST(HolidayName, AnOldYearlessFileGivesTheAnswersOfAFreshInstall) {
    Table old;
    const CalenderLoad load = LoadCalender(old, std::string(MIROLANDA_TEST_DATA) + "/OldCalender.txt");
    ASSERT_TRUE(load.Problems.empty()) << load.Message();
    ASSERT_GT(old.RowCount(), 20);
    const Table fresh = Holidays({});
    int closed = 0;
    for (Date day{2000, 1, 1}; day.Year <= 2030; day = platform::AddDays(day, 1)) {
        const std::string reason = GetHolidayName(fresh, day);
        EXPECT_EQ(GetHolidayName(old, day), reason) << platform::FormatSlashed(day);
        if (!reason.empty() && platform::Weekday(day) % 6 != 0) ++closed;
    }
    // Some sixteen closed weekdays a year: the built-in calendar is there at all.
    EXPECT_GT(closed, 31 * 14);
    EXPECT_LT(closed, 31 * 20);
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

    // A listed Sunday's Monday: closed only where the list alone counts.
    const Table sunday = Holidays({{"12/06", "日曜の休み"}, {"05/03", "憲法記念日"}});
    EXPECT_EQ(DataDateAt(sunday, monday, 15, 0), "20261207");
    EXPECT_EQ(DataDateAt(sunday, Date{2105, 5, 4}, 15, 0), "21050501");
    EXPECT_EQ(DataDateAt(sunday, Date{2105, 5, 5}, 8, 59), "21050501");
}

// Golden Week, the year end and a trading halt on a fresh install, at the hours that matter.
TEST(DataDate, AroundHolidaysOnAFreshInstall) {
    const Table empty = Holidays({});
    struct Case {
        Date day;
        int hour, minute;
        const char* dataDate;
    } cases[] = {
        {{2026, 4, 30}, 8, 59, "20260428"}, {{2026, 4, 30}, 9, 0, "20260430"},
        {{2026, 5, 2}, 12, 0, "20260501"},  {{2026, 5, 6}, 23, 0, "20260501"},
        {{2026, 5, 7}, 8, 59, "20260501"},  {{2026, 5, 7}, 9, 0, "20260507"},
        {{2025, 5, 7}, 8, 0, "20250502"},   {{2019, 5, 7}, 8, 0, "20190426"},
        {{2026, 12, 31}, 10, 0, "20261230"}, {{2027, 1, 1}, 10, 0, "20261230"},
        {{2027, 1, 4}, 8, 59, "20261230"},  {{2027, 1, 4}, 9, 0, "20270104"},
        {{2027, 1, 5}, 8, 59, "20270104"},  {{2026, 1, 5}, 8, 0, "20251230"},
        {{2020, 10, 1}, 20, 0, "20200930"}, {{2020, 10, 2}, 8, 0, "20200930"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataDateAt(empty, c.day, c.hour, c.minute), c.dataDate)
            << platform::FormatSlashed(c.day) << " " << c.hour << ":" << c.minute;
    }
    for (int hour = 0; hour < 24; ++hour) {
        EXPECT_EQ(DataDateAt(empty, Date{2026, 5, 7}, hour, 30), hour < 9 ? "20260501" : "20260507") << hour;
        EXPECT_EQ(DataDateAt(empty, Date{2027, 1, 4}, hour, 30), hour < 9 ? "20261230" : "20270104") << hour;
    }
}

// Every month/day listed except one: the only business days left are that day's weekdays.
// Years beyond the built-in calendar, where the list alone counts.
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
    // 2100/12/03 is a Friday; a year later 2101/12/03 is a Saturday, so it is the only
    // business day in reach of a start 366 days after it.
    const Date spared{2100, 12, 3};
    ASSERT_EQ(platform::Weekday(spared), 5);
    const Table table = AllDaysBut("12/03");
    EXPECT_EQ(DataDateAt(table, platform::AddDays(spared, 366), 10, 0), "21001203");
    EXPECT_THROW(DataDateAt(table, platform::AddDays(spared, 367), 10, 0), NoBusinessDayError);
}

TEST(DataDate, NoBusinessDayAtAllEndsWithAClearMessage) {
    const Table table = AllDaysBut("");
    try {
        DataDateAt(table, Date{2101, 12, 7}, 10, 0);
        FAIL() << "no error";
    } catch (const NoBusinessDayError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("2101/12/07"), std::string::npos) << what;
        EXPECT_NE(what.find("Calender.txt"), std::string::npos) << what;
    }
}

TEST(DataDate, StopsAtTheFirstDayDatesCanHold) {
    EXPECT_THROW(DataDateAt(AllDaysBut(""), Date{1, 1, 20}, 10, 0), NoBusinessDayError);
}

}  // namespace
}  // namespace mirolanda::calendar
