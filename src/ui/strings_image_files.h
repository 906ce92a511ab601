#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of opening and saving image files.
enum EImageFileStringId : int {};

}  // namespace sondrix
