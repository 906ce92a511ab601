#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the Authentication&User tab: matching, master mode, registration and modification.
enum EUserStringId : int {};

}  // namespace sondrix
