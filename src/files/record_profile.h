#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "files/record_context.h"

namespace sondrix {

// Which contexts a profile row applies to, per yes/no fact.
enum class EWhen { Any, Yes, No };

// How the records of one kind of module look: which sizes and markers a record
// file may hold, where the ID and time lie, and which format codes select them.
//
// Old-form records (no marker) have an exact size; marked records start with
// the profile's marker byte, except the one exact marked size that is read in
// the marked form whatever its first byte.
struct SRecordProfile {
    ERecordLayout layout;
    EWhen templateMode2;
    EWhen series2OrEmulation2;

    size_t oldSize;  // 0: the layout has no old form
    size_t oldIdLimit;
    size_t oldTimeOffset;

    size_t exactMarkedSize;  // 0: none
    size_t maxMarkedSize;
    uint8_t marker;
    size_t markedIdLimit;

    bool hasTime;  // whether records carry a registration time worth checking

    // CMD_DOWNLOAD_RECORD codes for the choices 0 old format, 1 Dravik, 2 ISO, 3 ANSI.
    std::array<uint8_t, 4> downloadCodes;
};

// The profile row that matches the module; every context matches exactly one.
const SRecordProfile& RecordProfileFor(const SRecordContext& context);

// The largest record any module accepts from a file.
size_t LargestAcceptedRecord();

}  // namespace sondrix
