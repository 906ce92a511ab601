#include "files/record_context.h"

namespace sondrix {

SRecordContext SRecordContext::FromModule(int series, int emulationMode, int templateMode,
                                          size_t idFieldLength, bool isM28) {
    const bool emulated = emulationMode == 1 || emulationMode == 2;
    SRecordContext context;
    context.layout =
        (series >= 1 && series <= 3) || emulated ? ERecordLayout::Legacy : ERecordLayout::Extended;
    context.templateMode2 = templateMode == 2;
    context.series2OrEmulation2 = series == 2 || emulationMode == 2;
    context.idFieldLength = idFieldLength;
    context.isM28 = isM28;
    return context;
}

}  // namespace sondrix
