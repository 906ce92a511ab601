#include "ui/strings_image_files.h"

namespace sondrix {

std::span<const SStringEntry> ImageFileStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
