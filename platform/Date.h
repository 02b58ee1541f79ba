// Calendar dates and Tokyo date-times, with the day arithmetic the program needs
// (proleptic Gregorian, years 1 to 9999), and the clock the domain code is given.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::platform {

struct Date {
    int Year = 1970;
    int Month = 1;
    int Day = 1;
    friend bool operator==(const Date&, const Date&) = default;
};

struct DateTime {
    Date Day;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
// Days since 1970-01-01 (negative before).
long DaysFromCivil(const Date& date);
Date CivilFromDays(long days);
Date AddDays(const Date& date, long days);
// 0 = Sunday … 6 = Saturday.
int Weekday(const Date& date);

// Seconds since 1970-01-01 00:00 of the same zone, and a time moved by some seconds.
long SecondsFromCivil(const DateTime& time);
DateTime AddSeconds(const DateTime& time, long seconds);

std::string FormatYmd(const Date& date);      // "yyyymmdd"
std::string FormatSlashed(const Date& date);  // "yyyy/mm/dd"
std::string FormatDashed(const Date& date);   // "yyyy-mm-dd", as web APIs write dates
std::string FormatHhMm(const DateTime& time); // "hh:nn"
// Parses "yyyymmdd" or "yyyy/mm/dd"; nothing for any other text or an impossible date.
std::optional<Date> ParseYmd(std::string_view text);
std::optional<Date> ParseSlashed(std::string_view text);
std::optional<Date> ParseDashed(std::string_view text);

// Whether a day is a business day.
using BusinessDayRule = std::function<bool(const Date&)>;

// How far the data date is looked for: a whole year, so every real calendar (even one with a
// long closure) finds a day, and one that closes every day cannot hang us.
inline constexpr int kDataDateStepsBack = 366;
// The data date at `now`: the newest day whose prices are complete or trading — today from
// 09:00, when the market opens, else the day before — stepped back over the days `isBusiness`
// refuses. Nothing when no business day lies within kDataDateStepsBack days.
std::optional<Date> DataDateUnder(const DateTime& now, const std::function<bool(const Date&)>& isBusiness);

// The market's time, Tokyo time (UTC+9, no daylight saving), of a moment given in seconds
// since 1970-01-01 00:00 UTC. Never reads the machine's time zone.
DateTime TokyoDateTime(std::time_t utcSeconds);

// The present date and time in Tokyo; injectable so that data dates and automation are testable.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

// The machine's clock, in Tokyo time whatever the machine's time zone.
class SystemClock final : public Clock {
public:
    DateTime Now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime now) { now_ = now; }
    void AdvanceSeconds(long seconds);

private:
    DateTime now_;
};

// Parses "YYYY-MM-DD HH:MM", a Tokyo time, or "@SECONDS", a moment in seconds since
// 1970-01-01 00:00 UTC (as `date +%s` prints it), as the command line takes them; nothing
// when malformed.
std::optional<DateTime> ParseDateTime(std::string_view text);

}  // namespace mirolanda::platform
