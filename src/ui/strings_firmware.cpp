#include "ui/strings_firmware.h"

namespace sondrix {

std::span<const SStringEntry> FirmwareStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_FIRMWARE_FILTER, "Binary files(*.bin)|*.bin|All files|*.*|"},
        {IDS_FIRMWARE_DEFAULT_EXTENSION, "*.BIN"},
        {IDS_FIRMWARE_COMPLETE, "Firmware Update complete!!"},
        {IDS_FIRMWARE_QUIT_QUESTION,
         "Do you really want to quit update process?\nThis command would cause a illegal "
         "operation."},
        {IDS_FIRMWARE_EMPTY, "The firmware file is empty!!"},
        {IDS_FIRMWARE_TOO_LARGE, "The firmware file is too large!! (at most 1048576 bytes)"},
        {IDS_FIRMWARE_READ_FAILED, "Cannot read the firmware file!!"},
    };
    return kTable;
}

}  // namespace sondrix
