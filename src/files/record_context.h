#pragma once

#include <cstddef>

#include "link/module_family.h"

namespace sondrix {

// The two shapes of user lists and records that HLX modules use.
enum class ERecordLayout {
    Legacy,    // series 1, 2, 3 or any emulation mode
    Extended,  // series 4 and 5 without emulation
};

// The facts about the connected module that decide how records, record files
// and log records are laid out. Callers fill it from the main dialog's state.
struct SRecordContext {
    ERecordLayout layout = ERecordLayout::Extended;
    // Template mode 2 selects the smaller legacy records (0xC1 marker, 827/844-byte old form).
    bool templateMode2 = false;
    // Series 2 modules and emulation mode 2 keep 10-character IDs and no registration times.
    bool series2OrEmulation2 = false;
    // Bytes of the user ID field including its terminating zero (1..256).
    size_t idFieldLength = 11;
    // HLX-M28 modules get the two-byte prefix in front of every saved record.
    bool isM28 = false;

    // Derives the context from the module's family and the template mode it
    // reports.
    static SRecordContext FromModule(const SModuleFamily& family, int templateMode,
                                     size_t idFieldLength, bool isM28);
};

}  // namespace sondrix
