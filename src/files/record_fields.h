#pragma once

#include <cstddef>

namespace sondrix {

// Where the fields of a user record sit, for the program and the simulated
// module alike. Old form: authority, the ID, then the templates. Marked form:
// marker, template count, format code, security level, authority, an ID
// field of L bytes, the password, reserved module bytes, the registration
// time, then the templates.
constexpr size_t kOldAuthorityOffset = 0;
constexpr size_t kOldIdOffset = 1;
constexpr size_t kOldTemplatesOffset = 12;
constexpr size_t kMarkedCountOffset = 1;
constexpr size_t kMarkedCodeOffset = 2;
constexpr size_t kMarkedLevelOffset = 3;
constexpr size_t kMarkedAuthorityOffset = 4;
constexpr size_t kMarkedIdOffset = 5;
constexpr size_t kRecordPasswordField = 16;
constexpr size_t kRecordReservedBytes = 8;
constexpr size_t kRecordTimeSize = 7;
// From the end of the ID field to the time.
constexpr size_t kMarkedBytesBetweenIdAndTime = kRecordPasswordField + kRecordReservedBytes;
// The ID field of the legacy layout's marked records.
constexpr size_t kLegacyIdFieldLength = 11;

}  // namespace sondrix
