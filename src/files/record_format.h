#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "files/bcd_time.h"
#include "files/file_status.h"
#include "files/record_context.h"

namespace sondrix {

// The few fields of a user record that the host shows; every other byte
// belongs to the module and travels unchanged.
struct SRecordInfo {
    std::string id;
    bool master = false;
    std::optional<SBcdTime> time;  // absent for records that carry none
};

// Checks a record (without file prefix) against the sizes and markers the
// connected module accepts and decodes its ID, authority and registration time.
// `fileIdFieldLength` is the ID field length named by the file's prefix; it
// overrides the module's for extended-layout records.
// Returns Ok, Invalid (size or marker not accepted) or BadTime (the time is
// impossible or lies outside the record, both signs of a wrong ID length).
EFileStatus DecodeRecord(std::span<const uint8_t> record, const SRecordContext& context,
                         std::optional<size_t> fileIdFieldLength, SRecordInfo& out);

// The ID under which a downloaded record is saved: at byte 5 for the extended
// layout or a first byte 0xC0..0xCF, else at byte 1; up to the first NUL, the
// end of the ID field or the end of the record. Empty when the record is too short.
std::string RecordFileId(std::span<const uint8_t> record, const SRecordContext& context);

}  // namespace sondrix
