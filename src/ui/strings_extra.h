#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the Extra Functions tab and the module log.
enum EExtraStringId : int {};

}  // namespace sondrix
