#pragma once

// A binary file the image file functions read (UTF-8 paths), closed when it
// goes out of scope, with open failures turned into image file statuses; and
// the end of writing one, which goes whole or not at all (CReplacingFile).

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/image_file.h"
#include "platform/native_file.h"
#include "platform/replacing_file.h"

namespace sondrix {

class CFileHandle {
  public:
    // NotFound when the file does not exist, IoError for any other failure.
    ImageFileStatus OpenForReading(const std::string& path);

    // Reads up to `count` bytes; returns how many were read.
    size_t Read(uint8_t* out, size_t count);
    // The file's length in bytes; false when it cannot be told.
    bool Length(uint64_t& length);

  private:
    CNativeFile m_file;
};

// Puts a file written through `file` in place when `written` is true; else,
// or when that fails, leaves what was there and gives IoError with the
// system's reason in `reason` (if given).
ImageFileStatus FinishImageFile(CReplacingFile& file, bool written, std::string* reason);

}  // namespace sondrix
