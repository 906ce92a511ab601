#pragma once

// 256-grey BMP image files as the image page writes and accepts them
// (little-endian):
//   0  "BM", file size = width * height + 1078, two reserved zero words,
//      pixel offset 1078;
//   14 information header: size 40, width, height (positive: bottom-up),
//      1 plane, 8 bits per pixel, no compression, image size 0, resolutions
//      0, 256 colours used and important;
//   54 colour table: 256 entries blue, green, red, 0 = i, i, i, 0;
//   1078 pixels, bottom row first, rows of exactly `width` bytes (no padding
//      to a multiple of four, unlike the usual BMP layout).

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/image_file.h"

namespace sondrix {

inline constexpr uint32_t kBmpPixelOffset = 1078;

// The length of the file for an image of this size.
uint64_t BmpFileSize(int width, int height);

// Writes the file in four parts: file header, information header, colour
// table, pixels. The page waits 10, 10 and 100 ms between them; `pause` (if
// given) is called with those milliseconds.
ImageFileStatus WriteBmpFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             const std::function<void(int ms)>& pause = {},
                             std::string* reason = nullptr);

// Reads a file into an image of the current size width x height:
// InvalidFile unless it starts with a 14-byte header of type "BM";
// NotSupported unless the header's file size is the file's length and
// BmpFileSize(width, height), and the pixel offset is 1078, or when the bit
// depth is none of 1, 4, 8, 16, 24, 32. The colour table (2, 16, 256 or no
// entries by bit depth) is skipped, the width * height bytes after it are
// the pixels with the row order reversed. The information header's own size
// fields are not consulted. On any failure pixels are left as they were.
ImageFileStatus ReadBmpFile(const std::string& path, uint8_t* pixels, int width, int height);

}  // namespace sondrix
