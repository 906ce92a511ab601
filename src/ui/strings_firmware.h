#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the firmware update and the packet creator.
enum EFirmwareStringId : int {
    IDS_FIRMWARE_FILTER = 3300,
    IDS_FIRMWARE_DEFAULT_EXTENSION,
    IDS_FIRMWARE_COMPLETE,
    IDS_FIRMWARE_QUIT_QUESTION,
    IDS_FIRMWARE_EMPTY,
    IDS_FIRMWARE_TOO_LARGE,
    IDS_FIRMWARE_READ_FAILED,
};

}  // namespace sondrix
