#include "imaging/raw_file.h"

#include <algorithm>
#include <vector>

#include "imaging/file_handle.h"

namespace sondrix {

ImageFileStatus ReadRawFile(const std::string& path, uint8_t* pixels, int width, int height) {
    if (width <= 0 || height <= 0) {
        return ImageFileStatus::NotSupported;
    }
    CFileHandle file;
    const ImageFileStatus opened = file.OpenForReading(path);
    if (opened != ImageFileStatus::Ok) {
        return opened;
    }
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (file.Read(image.data(), image.size()) != image.size()) {
        return ImageFileStatus::TooShort;
    }
    std::copy(image.begin(), image.end(), pixels);
    return ImageFileStatus::Ok;
}

ImageFileStatus WriteRawFile(const std::string& path, const uint8_t* pixels, int width, int height,
                             std::string* reason) {
    if (width <= 0 || height <= 0) {
        return ImageFileStatus::NotSupported;
    }
    CReplacingFile file(PathFromUtf8(path));
    const bool written =
        file.Open() &&
        file.Write({pixels, static_cast<size_t>(width) * static_cast<size_t>(height)});
    return FinishImageFile(file, written, reason);
}

}  // namespace sondrix
