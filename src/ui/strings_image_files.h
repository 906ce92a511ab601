#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of opening and saving image files.
enum EImageFileStringId : int {
    IDS_IMAGE_ERROR = 820,
    IDS_IMAGE_SAVED = 1011,
    IDS_IMAGE_OPEN_FILTER = 4200,
    IDS_IMAGE_SAVE_FILTER,
    IDS_IMAGE_DEFAULT_EXTENSION,
    IDS_IMAGE_READ_FAILED,
    IDS_IMAGE_WRITE_FAILED,
};

}  // namespace sondrix
