#include "files/record_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "files/read_file.h"
#include "files/record_format.h"
#include "files/record_profile.h"
#include "files/safe_file_name.h"
#include "platform/byte_reader.h"
#include "platform/native_file.h"
#include "platform/replacing_file.h"

namespace sondrix {

namespace {

// Optional prefix of a record file: the marker, then the writer's ID field length - 1.
constexpr uint8_t kPrefixMarker = 0xF1;
constexpr size_t kPrefixSize = 2;
constexpr int kPauseAfterPrefixMs = 10;

constexpr std::string_view kRecordExtension = "rec";
constexpr std::string_view kMultiRecordExtension = "mrc";

struct SRecordFileParts {
    std::optional<size_t> idFieldLength;
    std::span<const uint8_t> record;
};

SRecordFileParts SplitPrefix(std::span<const uint8_t> file) {
    CByteReader reader(file);
    uint8_t marker = 0;
    uint8_t idLengthMinusOne = 0;
    if (reader.U8(marker) && marker == kPrefixMarker && reader.U8(idLengthMinusOne)) {
        return {size_t{idLengthMinusOne} + 1, file.subspan(kPrefixSize)};
    }
    return {std::nullopt, file};
}

}  // namespace

EFileStatus LoadRecordFile(const CFilePath& path, const SRecordContext& context,
                           SHostRecordRow& row) {
    if (const EFileStatus found = ProbeFile(path); found != EFileStatus::Ok) {
        return found;
    }
    // The extension is the last three characters of the path, compared as they are.
    const std::string text = Utf8FromPath(path);
    const std::string_view name = text;
    const std::string_view extension =
        name.substr(name.size() - std::min(name.size(), kRecordExtension.size()));
    if (extension == kMultiRecordExtension) {
        return EFileStatus::MrcIgnored;
    }
    if (extension != kRecordExtension) {
        return EFileStatus::NotSupported;
    }
    std::vector<uint8_t> bytes;
    const EFileStatus read = ReadWholeFile(path, LargestAcceptedRecord() + kPrefixSize, bytes);
    if (read != EFileStatus::Ok) {
        return read == EFileStatus::TooBig ? EFileStatus::Invalid : read;
    }
    const SRecordFileParts parts = SplitPrefix(bytes);
    SRecordInfo info;
    const EFileStatus decoded = DecodeRecord(parts.record, context, parts.idFieldLength, info);
    if (decoded != EFileStatus::Ok) {
        return decoded;
    }
    row.id = std::move(info.id);
    row.authority = info.master ? "MASTER" : "USER";
    row.time = info.time ? info.time->ToString() : std::string();
    row.record.assign(parts.record.begin(), parts.record.end());
    row.path = path;
    return EFileStatus::Ok;
}

SRecordSaveResult SaveRecordFile(const CFilePath& folder, std::span<const uint8_t> record,
                                 const SRecordContext& context, const PauseFunction& pause) {
    SRecordSaveResult result;
    result.id = RecordFileId(record, context);
    const std::string fileName = result.id + "." + std::string(kRecordExtension);
    if (!IsSafeFileName(fileName)) {
        result.status = EFileStatus::UnsafeName;
        return result;
    }
    result.path = folder.Path() / PathFromUtf8(fileName);
    CReplacingFile file(result.path);
    const auto failed = [&] {
        result.reason = file.Error().empty() ? std::strerror(EIO) : file.Error();
        return result;
    };
    if (!file.Open()) {
        return failed();
    }
    if (context.isM28) {
        const std::array<uint8_t, kPrefixSize> prefix{
            kPrefixMarker, static_cast<uint8_t>(context.idFieldLength - 1)};
        if (!file.Write(prefix)) {
            return failed();
        }
        if (pause) {
            pause(kPauseAfterPrefixMs);
        }
    }
    if (!file.Write(record) || !file.Commit()) {
        return failed();
    }
    result.status = EFileStatus::Ok;
    return result;
}

}  // namespace sondrix
