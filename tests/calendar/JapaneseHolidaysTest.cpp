// The national holidays generated from the law's rules, against the lists the Cabinet Office
// published and the equinox days the National Astronomical Observatory announced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/JapaneseHolidays.h"

namespace mirolanda::calendar {
namespace {

using platform::Date;

std::vector<std::string> Generated(int year) {
    std::vector<std::string> days;
    for (const NamedDay& holiday : NationalHolidays(year)) {
        days.push_back(platform::FormatSlashed(holiday.Day).substr(5) + " " + holiday.Name);
    }
    return days;
}

struct OfficialYear {
    int year;
    std::vector<std::string> holidays;  // as published, weekends included, in date order
};

// 1990 and 2006: the Monday substitute and 05/04 as a citizens' holiday; 2019: the
// enthronement; 2020 and 2021: the Olympic moves; 2024 to 2027 in full.
const OfficialYear kOfficialYears[] = {
    {1990, {"01/01 元日", "01/15 成人の日", "02/11 建国記念の日", "02/12 振替休日", "03/21 春分の日",
            "04/29 みどりの日", "04/30 振替休日", "05/03 憲法記念日", "05/04 国民の休日", "05/05 こどもの日",
            "09/15 敬老の日", "09/23 秋分の日", "09/24 振替休日", "10/10 体育の日", "11/03 文化の日",
            "11/12 即位礼正殿の儀", "11/23 勤労感謝の日", "12/23 天皇誕生日", "12/24 振替休日"}},
    {2006, {"01/01 元日", "01/02 振替休日", "01/09 成人の日", "02/11 建国記念の日", "03/21 春分の日",
            "04/29 みどりの日", "05/03 憲法記念日", "05/04 国民の休日", "05/05 こどもの日", "07/17 海の日",
            "09/18 敬老の日", "09/23 秋分の日", "10/09 体育の日", "11/03 文化の日", "11/23 勤労感謝の日",
            "12/23 天皇誕生日"}},
    {2019, {"01/01 元日", "01/14 成人の日", "02/11 建国記念の日", "03/21 春分の日", "04/29 昭和の日",
            "04/30 国民の休日", "05/01 天皇の即位の日", "05/02 国民の休日", "05/03 憲法記念日", "05/04 みどりの日",
            "05/05 こどもの日", "05/06 振替休日", "07/15 海の日", "08/11 山の日", "08/12 振替休日", "09/16 敬老の日",
            "09/23 秋分の日", "10/14 体育の日", "10/22 即位礼正殿の儀", "11/03 文化の日", "11/04 振替休日",
            "11/23 勤労感謝の日"}},
    {2020, {"01/01 元日", "01/13 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "02/24 振替休日",
            "03/20 春分の日", "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日",
            "05/06 振替休日", "07/23 海の日", "07/24 スポーツの日", "08/10 山の日", "09/21 敬老の日", "09/22 秋分の日",
            "11/03 文化の日", "11/23 勤労感謝の日"}},
    {2021, {"01/01 元日", "01/11 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "03/20 春分の日",
            "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日", "07/22 海の日",
            "07/23 スポーツの日", "08/08 山の日", "08/09 振替休日", "09/20 敬老の日", "09/23 秋分の日",
            "11/03 文化の日", "11/23 勤労感謝の日"}},
    {2024, {"01/01 元日", "01/08 成人の日", "02/11 建国記念の日", "02/12 振替休日", "02/23 天皇誕生日",
            "03/20 春分の日", "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日",
            "05/06 振替休日", "07/15 海の日", "08/11 山の日", "08/12 振替休日", "09/16 敬老の日", "09/22 秋分の日",
            "09/23 振替休日", "10/14 スポーツの日", "11/03 文化の日", "11/04 振替休日", "11/23 勤労感謝の日"}},
    {2025, {"01/01 元日", "01/13 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "02/24 振替休日",
            "03/20 春分の日", "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日",
            "05/06 振替休日", "07/21 海の日", "08/11 山の日", "09/15 敬老の日", "09/23 秋分の日",
            "10/13 スポーツの日", "11/03 文化の日", "11/23 勤労感謝の日", "11/24 振替休日"}},
    {2026, {"01/01 元日", "01/12 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "03/20 春分の日",
            "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日", "05/06 振替休日",
            "07/20 海の日", "08/11 山の日", "09/21 敬老の日", "09/22 国民の休日", "09/23 秋分の日",
            "10/12 スポーツの日", "11/03 文化の日", "11/23 勤労感謝の日"}},
    {2027, {"01/01 元日", "01/11 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "03/21 春分の日",
            "03/22 振替休日", "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日",
            "07/19 海の日", "08/11 山の日", "09/20 敬老の日", "09/23 秋分の日", "10/11 スポーツの日",
            "11/03 文化の日", "11/23 勤労感謝の日"}},
};

TEST(JapaneseHolidays, WholeYearsAgreeWithThePublishedLists) {
    for (const auto& official : kOfficialYears) {
        EXPECT_EQ(Generated(official.year), official.holidays) << official.year;
    }
}

TEST(JapaneseHolidays, EquinoxDaysAgreeWithTheAnnouncedDays2000To2030) {
    // Day of March, day of September, for 2000 onwards.
    const int kVernal[] = {20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 21, 21,
                           20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 20, 21, 20, 20, 20};
    const int kAutumnal[] = {23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 22, 23, 23, 23,
                             22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23};
    for (int i = 0; i <= 30; ++i) {
        EXPECT_EQ(VernalEquinoxDay(2000 + i), kVernal[i]) << 2000 + i;
        EXPECT_EQ(AutumnalEquinoxDay(2000 + i), kAutumnal[i]) << 2000 + i;
    }
}

// A Sunday holiday followed by more holidays pushes its substitute to the first free day,
// whatever the weekday; a weekday between two holidays is a citizens' holiday.
TEST(JapaneseHolidays, SubstituteAndCitizensHolidays) {
    struct Case {
        Date day;
        const char* name;
    } cases[] = {
        {{2008, 5, 6}, "振替休日"},   // 05/04 on Sunday, 05/05 taken: Tuesday
        {{2009, 5, 6}, "振替休日"},   // 05/03 on Sunday, 05/04 and 05/05 taken: Wednesday
        {{2015, 5, 6}, "振替休日"},
        {{2020, 5, 6}, "振替休日"},
        {{2025, 5, 6}, "振替休日"},
        {{2026, 5, 6}, "振替休日"},
        {{2026, 5, 7}, ""},
        {{2001, 12, 24}, "振替休日"},  // the Monday rule before 2007
        {{2023, 1, 2}, "振替休日"},
        {{2018, 12, 24}, "振替休日"},  // the last 天皇誕生日 on 12/23
        {{2019, 12, 23}, ""},
        {{2009, 9, 22}, "国民の休日"},
        {{2015, 9, 22}, "国民の休日"},
        {{2026, 9, 22}, "国民の休日"},
        {{2032, 9, 21}, "国民の休日"},
        {{2032, 9, 22}, "秋分の日"},
        {{2020, 10, 12}, ""},  // スポーツの日 moved to 07/24
        {{2021, 8, 9}, "振替休日"},
        {{1993, 6, 9}, "皇太子徳仁親王の結婚の儀"},
        {{1989, 2, 24}, ""},  // before the years the generator covers
        {{2100, 1, 1}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NationalHolidayName(c.day), c.name) << platform::FormatSlashed(c.day);
    }
}

}  // namespace
}  // namespace mirolanda::calendar
