#include "imaging/image_file.h"

#include <cctype>

#include "imaging/bmp_file.h"
#include "imaging/raw_file.h"
#include "imaging/wsq_file.h"

namespace sondrix {

std::string ImageFileExtension(std::string_view fileName) {
    const size_t slash = fileName.find_last_of('/');
    const std::string_view base =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.find_last_of('.');
    std::string extension;
    if (dot != std::string_view::npos) {
        for (char c : base.substr(dot + 1)) {
            extension.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return extension;
}

ImageFileStatus WriteImageFile(const std::string& path, const uint8_t* pixels, size_t size,
                               int width, int height, const std::function<void(int ms)>& pause,
                               std::FILE* diagnostics, std::string* reason) {
    const std::string extension = ImageFileExtension(path);
    if (extension != "raw" && extension != "bmp" && extension != "wsq") {
        return ImageFileStatus::InvalidFile;
    }
    if (width <= 0 || height <= 0 ||
        static_cast<size_t>(width) * static_cast<size_t>(height) > size) {
        return ImageFileStatus::NotSupported;
    }
    if (extension == "raw") {
        return WriteRawFile(path, pixels, width, height, reason);
    }
    if (extension == "bmp") {
        return WriteBmpFile(path, pixels, width, height, pause, reason);
    }
    return WriteWsqFile(path, pixels, width, height, diagnostics, reason);
}

}  // namespace sondrix
