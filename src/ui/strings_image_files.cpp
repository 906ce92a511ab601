#include "ui/strings_image_files.h"

namespace sondrix {

std::span<const SStringEntry> ImageFileStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_IMAGE_ERROR, "Error!!!"},
        {IDS_IMAGE_SAVED, "File saved successfully! (%s)"},
        {IDS_IMAGE_OPEN_FILTER,
         "RAW files(*.raw)|*.raw|256 Gray Color Bitmap files(*.bmp)|*.bmp|Wavelet Scalar "
         "Quantization Gray files(*.wsq)|*.wsq|"},
        {IDS_IMAGE_SAVE_FILTER,
         "RAW files(*.raw)|*.raw|256 Gray Color Bitmap files(*.bmp)|*.bmp|Wavelet Scalar "
         "Quantization Gray files(*.wsq)|*.wsq|All files|*.*|"},
        {IDS_IMAGE_DEFAULT_EXTENSION, "*.RAW"},
        {IDS_IMAGE_READ_FAILED, "Cannot read the file! (%s)"},
        {IDS_IMAGE_WRITE_FAILED, "Cannot write the file! (%s)"},
    };
    return kTable;
}

}  // namespace sondrix
