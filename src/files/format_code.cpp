#include "files/format_code.h"

#include "files/record_profile.h"

namespace sondrix {

namespace {

constexpr size_t kOldFormatChoice = 0;
constexpr size_t kDravikFormatChoice = 1;

}  // namespace

std::optional<uint8_t> DownloadFormatCode(const SRecordContext& context, int choice) {
    const auto& codes = RecordProfileFor(context).downloadCodes;
    if (choice < 0 || static_cast<size_t>(choice) >= codes.size()) {
        return std::nullopt;
    }
    return codes[static_cast<size_t>(choice)];
}

uint8_t UploadFormatCode(const SRecordContext& context, size_t recordSize) {
    const SRecordProfile& profile = RecordProfileFor(context);
    return profile
        .downloadCodes[recordSize == profile.oldSize ? kOldFormatChoice : kDravikFormatChoice];
}

}  // namespace sondrix
