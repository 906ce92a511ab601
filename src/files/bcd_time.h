#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/byte_reader.h"

namespace sondrix {

// A date and time as modules store it in records and log entries: seven
// packed-BCD bytes (century, year within century, month, day, hour, minute,
// second). Each byte is taken digit by digit without checking that the digits
// are decimal, so a corrupt byte decodes to a value that fails IsPlausible().
struct SBcdTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Reads the seven bytes; fails without moving the reader when fewer remain.
    static bool Read(CByteReader& reader, SBcdTime& out);

    // The check applied when a record file is loaded: month 1..12, day 1..31,
    // hour up to 24, minute and second up to 60. The year is not checked.
    bool IsPlausible() const;

    // "YYYY-MM-DD hh:mm:ss".
    std::string ToString() const;

    // A broken-down local time, and the seven bytes as modules take them.
    static SBcdTime FromTm(const std::tm& time);
    std::array<uint8_t, 7> ToBytes() const;
};

}  // namespace sondrix
