#pragma once

// RAW image files: exactly width * height bytes, rows top to bottom, no
// header.

#include <cstdint>
#include <string>

#include "imaging/image_file.h"

namespace sondrix {

// Reads the first width * height bytes of the file into pixels. A shorter
// file gives TooShort; a longer one is read as far as the image goes. On any
// failure pixels are left as they were.
ImageFileStatus ReadRawFile(const std::string& path, uint8_t* pixels, int width, int height);

// Writes the file whole or not at all: a file already there is kept when
// anything fails. IoError gives the system's reason in `reason` (if given);
// the same holds for the BMP and WSQ writers.
ImageFileStatus WriteRawFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             std::string* reason = nullptr);

}  // namespace sondrix
