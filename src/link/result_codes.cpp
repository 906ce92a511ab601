#include "link/result_codes.h"

#include <array>

namespace sondrix {

namespace {

constexpr const char* kError = "Error!!!";

// Index = result code; codes 1 to 22 have texts.
constexpr std::array<const char*, 23> kTexts = {
    kError,
    "Succeeded!!!",
    "Failed!!!",
    "Not Master Mode!!!",
    "Used ID!!!",
    "Invalid ID!!!",
    "DB is full!!!",
    "Capture Time Out!!!",
    kError,
    "Invalid Parameter!!!",
    "Master record is full!!!",
    kError,
    "Sensor Initialize failed!!!",
    "Canceled!!!",
    "Different Fingerprint!!!",
    kError,
    "Status of device is idle.",
    "Too Large Data!!!",
    "Identification Time Out!!!",
    "DB is not empty!!!",
    "Wrong Template Mode!!!",
    "Invalid Data Size!!!",
    "Invalid Data!!!",
};

}  // namespace

const char* ResultText(uint32_t code) {
    return code < kTexts.size() ? kTexts[code] : kError;
}

}  // namespace sondrix
