#include "files/bcd_time.h"

#include <array>
#include <cstdio>

namespace sondrix {

namespace {

int FromBcd(uint8_t value) {
    return (value >> 4) * 10 + (value & 0x0F);
}

uint8_t ToBcd(int value) {
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

}  // namespace

SBcdTime SBcdTime::FromTm(const std::tm& time) {
    return {time.tm_year + 1900, time.tm_mon + 1, time.tm_mday,
            time.tm_hour,        time.tm_min,     time.tm_sec};
}

std::array<uint8_t, 7> SBcdTime::ToBytes() const {
    return {ToBcd(year / 100), ToBcd(year % 100), ToBcd(month), ToBcd(day),
            ToBcd(hour),       ToBcd(minute),     ToBcd(second)};
}

bool SBcdTime::Read(CByteReader& reader, SBcdTime& out) {
    std::array<uint8_t, 7> bytes{};
    if (!reader.Bytes(bytes.data(), bytes.size())) {
        return false;
    }
    out.year = FromBcd(bytes[0]) * 100 + FromBcd(bytes[1]);
    out.month = FromBcd(bytes[2]);
    out.day = FromBcd(bytes[3]);
    out.hour = FromBcd(bytes[4]);
    out.minute = FromBcd(bytes[5]);
    out.second = FromBcd(bytes[6]);
    return true;
}

bool SBcdTime::IsPlausible() const {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 24 && minute <= 60 &&
           second <= 60;
}

std::string SBcdTime::ToString() const {
    // Corrupt BCD gives up to five-digit years and three-digit fields.
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text.data();
}

}  // namespace sondrix
