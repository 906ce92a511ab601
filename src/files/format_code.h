#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "files/record_context.h"

namespace sondrix {

// Format code of CMD_DOWNLOAD_RECORD (param2) for the download-option choice:
// 0 "Dravik Old Format", 1 "Dravik Format", 2 ISO 19794-2, 3 ANSI 378.
// Choice 4 ("QDX-A Format") and anything else have no code: nothing is sent.
std::optional<uint8_t> DownloadFormatCode(const SRecordContext& context, int choice);

// Format code of CMD_UPLOAD_RECORD (param1) for a record of `recordSize` bytes:
// the old format when the size is the module's old-form size, else the Dravik format.
uint8_t UploadFormatCode(const SRecordContext& context, size_t recordSize);

}  // namespace sondrix
