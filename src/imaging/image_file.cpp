#include "imaging/image_file.h"

#include <cctype>

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

}  // namespace sondrix
