// Calendar arithmetic the module's clock and log times rest on, the same on
// every system (Windows has neither timegm nor gmtime_r).
#include <gtest/gtest.h>

#include "platform/local_time.h"

namespace sondrix {
namespace {

std::tm Calendar(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TEST(CalendarTest, UtcSecondsAndCalendarAgreeWithKnownMoments) {
    EXPECT_EQ(UtcSeconds(Calendar(1970, 1, 1, 0, 0, 0)), 0);
    EXPECT_EQ(UtcSeconds(Calendar(2016, 3, 7, 8, 0, 0)), 1457337600);
    EXPECT_EQ(UtcSeconds(Calendar(2038, 1, 19, 3, 14, 8)), int64_t{1} << 31) << "past 32 bits";

    const std::tm leap = UtcCalendar(1709210096);  // 2024-02-29 12:34:56, a Thursday
    EXPECT_EQ(leap.tm_year, 124);
    EXPECT_EQ(leap.tm_mon, 1);
    EXPECT_EQ(leap.tm_mday, 29);
    EXPECT_EQ(leap.tm_hour, 12);
    EXPECT_EQ(leap.tm_min, 34);
    EXPECT_EQ(leap.tm_sec, 56);
    EXPECT_EQ(leap.tm_wday, 4);
    EXPECT_EQ(leap.tm_yday, 59);
    EXPECT_EQ(UtcSeconds(leap), 1709210096);
}

TEST(CalendarTest, DaysPastTheMonthsEndRunIntoTheNextMonth) {
    // A clock set to 31 February, as a module accepts it, is 3 March.
    const std::tm next = UtcCalendar(UtcSeconds(Calendar(2021, 2, 31, 23, 59, 59)));
    EXPECT_EQ(next.tm_mon, 2);
    EXPECT_EQ(next.tm_mday, 3);
    EXPECT_EQ(next.tm_hour, 23);
    EXPECT_EQ(UtcSeconds(Calendar(2021, 2, 31, 0, 0, 0)),
              UtcSeconds(Calendar(2021, 3, 3, 0, 0, 0)));
}

}  // namespace
}  // namespace sondrix
