#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "files/file_status.h"
#include "platform/native_file.h"

namespace sondrix {

// A template file (.min) is one template exactly as the module sent it: no
// header, no length field. The largest one a command can carry is 65535 bytes.
inline constexpr size_t kMaxTemplateFileSize = 65535;

// Reads a whole template file. Returns Ok, NotFound, TooBig (larger than
// kMaxTemplateFileSize; nothing is read), SizeChanged or IoError.
EFileStatus LoadTemplateFile(const CFilePath& path, std::vector<uint8_t>& out);

// Writes a template, replacing an existing file only once the new one is complete.
// Returns Ok or IoError, with the system's reason in `reason` (if given).
EFileStatus SaveTemplateFile(const CFilePath& path, std::span<const uint8_t> bytes,
                             std::string* reason = nullptr);

}  // namespace sondrix
