#pragma once

// WSQ image files, within the image page's buffers: a file is read whole into
// kWsqInputCapacity bytes, and an image is saved at kWsqSaveRatio from a
// stream of at most kWsqEncodedCapacity bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "imaging/image_file.h"

namespace sondrix {

// Decodes the file into pixels[0..pixelCapacity) and sets *width and *height
// from its frame. TooLarge when the file is longer than kWsqInputCapacity,
// CodecError when the stream does not decode or its image holds more than
// pixelCapacity pixels; pixels are left as they were then. The codec's
// diagnostics go to `diagnostics`.
ImageFileStatus ReadWsqFile(const std::string& path, uint8_t* pixels, size_t pixelCapacity,
                            int* width, int* height, std::FILE* diagnostics = stderr);

// Encodes the image and writes the stream; on CodecError no file is written.
ImageFileStatus WriteWsqFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             std::FILE* diagnostics = stderr, std::string* reason = nullptr);

}  // namespace sondrix
