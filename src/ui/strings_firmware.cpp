#include "ui/strings_firmware.h"

namespace sondrix {

std::span<const SStringEntry> FirmwareStrings() {
    static constexpr SStringEntry kTable[] = {
        {0, ""},
    };
    return kTable;
}

}  // namespace sondrix
