#pragma once

// What the image file functions (RAW, BMP, WSQ) report, and how a file name
// picks the format.

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

}  // namespace sondrix
