#pragma once

// A binary file opened by the image file functions (UTF-8 paths), closed
// when it goes out of scope, with open failures turned into image file statuses.

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/image_file.h"
#include "platform/native_file.h"

namespace sondrix {

class CFileHandle {
  public:
    // NotFound when the file does not exist, IoError for any other failure.
    ImageFileStatus OpenForReading(const std::string& path);
    // Creates or truncates the file; IoError on failure.
    ImageFileStatus OpenForWriting(const std::string& path);

    // Reads up to `count` bytes; returns how many were read.
    size_t Read(uint8_t* out, size_t count);
    bool Write(const uint8_t* data, size_t count);
    // The file's length in bytes; false when it cannot be told.
    bool Length(uint64_t& length);
    // Closes the file; false when the system reports a failed write at close.
    bool Close();

  private:
    CNativeFile m_file;
};

}  // namespace sondrix
