// The DataBase tab's .rec loader and the template page's .min loader on
// host files, for every kind of connected module.

#include <vector>

#include "files/record_file.h"
#include "files/template_file.h"
#include "fuzz_target.h"

using sondrix::EFileStatus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Layout: loader and module selector, ID field length - 1, then the file.
    if (size < 2) {
        return 0;
    }
    const uint8_t select = data[0];
    if (select & 1) {
        const sondrix::fuzz::CScratchFile file(data + 2, size - 2, ".min");
        std::vector<uint8_t> bytes;
        const EFileStatus status = sondrix::LoadTemplateFile(file.Path(), bytes);
        sondrix::fuzz::Require(status != EFileStatus::Ok || bytes.size() == size - 2,
                               "a template read short or long");
        return 0;
    }
    static const uint32_t kEmulation[] = {sondrix::kNoEmulation, sondrix::kEmulationSa,
                                          sondrix::kEmulationSb};
    const sondrix::SModuleFamily family{1 + (select >> 1) % 5, kEmulation[(select >> 4) % 3]};
    const int templateMode = 1 + ((select >> 6) & 1);
    const bool isM28 = (select >> 7) != 0;
    const size_t idField = 1 + data[1];
    const auto context = sondrix::SRecordContext::FromModule(family, templateMode, idField, isM28);
    const sondrix::fuzz::CScratchFile file(data + 2, size - 2, ".rec");
    sondrix::SHostRecordRow row;
    const EFileStatus status = sondrix::LoadRecordFile(file.Path(), context, row);
    if (status == EFileStatus::Ok) {
        sondrix::fuzz::Require(row.Size() <= size - 2, "a record longer than its file");
    }
    return 0;
}
