#pragma once

#include <cstddef>
#include <filesystem>

#include "files/file_status.h"
#include "files/log_store.h"
#include "platform/native_file.h"

namespace sondrix {

// Writes the stored records of one chunk to the .log file, one line per record
// ended by "\r\n", and empties the store. Chunk 0 creates the file or
// replaces it (an existing file only once the new one is complete); later
// chunks append to it. Returns Ok or IoError (the file cannot be
// opened or written), after which the download should stop.
EFileStatus WriteLogChunk(const CFilePath& path, size_t chunkIndex, CLogStore& store);

}  // namespace sondrix
