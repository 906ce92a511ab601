#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the Configuration tab and the option commands.
enum EConfigurationStringId : int {};

}  // namespace sondrix
