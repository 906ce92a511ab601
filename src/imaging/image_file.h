#pragma once

// What the image file functions (RAW, BMP, WSQ) report, and how a file name
// picks the format.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace sondrix {

enum class ImageFileStatus {
    Ok,
    NotFound,      // the file cannot be opened for reading: it does not exist
    InvalidFile,   // not a file of the expected kind (a BMP without "BM")
    NotSupported,  // a kind of file, or an image size, this program does not take
    TooShort,      // fewer bytes than the image needs
    TooLarge,      // more bytes than the program's buffer for such files holds
    CodecError,    // the WSQ codec refused the image or the stream
    IoError,       // the system failed to open, read or write the file
};

// The lower-cased text after the last '.' of the file name's last path
// component ("raw", "bmp", "wsq"); empty when there is none.
std::string ImageFileExtension(std::string_view fileName);

// Writes an 8-bit grey image of `size` pixel bytes as RAW, BMP or WSQ by
// the name's extension, whole or not at all: InvalidFile for any other name,
// NotSupported when the bytes hold less than the image, IoError with the
// system's reason in `reason` (if given). `pause` runs between the parts of
// a BMP file; the WSQ codec's diagnostic lines go to `diagnostics`.
ImageFileStatus WriteImageFile(const std::string& path, const uint8_t* pixels, size_t size,
                               int width, int height, const std::function<void(int ms)>& pause = {},
                               std::FILE* diagnostics = nullptr, std::string* reason = nullptr);

}  // namespace sondrix
