#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the firmware update and the packet creator.
enum EFirmwareStringId : int {};

}  // namespace sondrix
