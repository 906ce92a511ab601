#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "files/file_status.h"
#include "platform/native_file.h"

namespace sondrix {

// Whether something exists at `path`: Ok, NotFound, or IoError when that cannot be told.
EFileStatus ProbeFile(const CFilePath& path);

// Reads a whole regular file of at most `maxSize` bytes into `out`.
// Returns Ok, NotFound, TooBig, SizeChanged (the file grew or shrank while it
// was read; nothing past the size first seen is read) or IoError (not a
// regular file, or a read error). `out` is left empty unless the result is Ok.
EFileStatus ReadWholeFile(const CFilePath& path, size_t maxSize, std::vector<uint8_t>& out);

}  // namespace sondrix
