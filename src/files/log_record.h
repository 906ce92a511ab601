#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "files/record_context.h"

namespace sondrix {

// Bytes per module log record: 28 for legacy-layout modules, 32 for extended ones.
size_t LogRecordSize(const SRecordContext& context);

// The .log text line of one record, without its line break.
// Kinds 0 to 3 follow the module's layouts; an event code without a name in
// its kind adds no name. A record of any other kind is still written, as
// "0x<seq>\t\tUNKNOWN KIND 0x<kk>\t" and its bytes in hex, and one too short
// for the fields of its kind as "0x<seq>\t\tSHORT RECORD\t" and its bytes.
std::string FormatLogLine(std::span<const uint8_t> record);

}  // namespace sondrix
