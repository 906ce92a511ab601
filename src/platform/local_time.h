#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

namespace sondrix {

// The local calendar time of a moment, safe to call from any thread.
std::tm LocalTime(std::time_t moment);

// Seconds since 1970 of a calendar time taken as UTC (what timegm does, on
// every system); days beyond the month's end run on into the next month.
inline int64_t UtcSeconds(const std::tm& time) {
    using namespace std::chrono;
    const sys_days date = year{time.tm_year + 1900} /
                          month{static_cast<unsigned>(time.tm_mon + 1)} /
                          day{static_cast<unsigned>(time.tm_mday)};
    return date.time_since_epoch() / seconds(1) + int64_t{time.tm_hour} * 3600 +
           int64_t{time.tm_min} * 60 + time.tm_sec;
}

// The UTC calendar time of seconds since 1970 (what gmtime does).
inline std::tm UtcCalendar(int64_t utcSeconds) {
    using namespace std::chrono;
    const sys_seconds moment{seconds(utcSeconds)};
    const sys_days date = floor<days>(moment);
    const year_month_day ymd{date};
    const hh_mm_ss clock{moment - date};
    std::tm time{};
    time.tm_year = static_cast<int>(ymd.year()) - 1900;
    time.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    time.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
    time.tm_hour = static_cast<int>(clock.hours().count());
    time.tm_min = static_cast<int>(clock.minutes().count());
    time.tm_sec = static_cast<int>(clock.seconds().count());
    time.tm_wday = static_cast<int>(weekday{date}.c_encoding());
    time.tm_yday = static_cast<int>((date - sys_days{ymd.year() / January / 1}).count());
    return time;
}

}  // namespace sondrix
