#include "files/record_context.h"

namespace sondrix {

SRecordContext SRecordContext::FromModule(const SModuleFamily& family, int templateMode,
                                          size_t idFieldLength, bool isM28) {
    SRecordContext context;
    context.layout = family.LegacyLayout() ? ERecordLayout::Legacy : ERecordLayout::Extended;
    context.templateMode2 = templateMode == 2;
    context.series2OrEmulation2 = family.SpeaksSb();
    context.idFieldLength = idFieldLength;
    context.isM28 = isM28;
    return context;
}

}  // namespace sondrix
