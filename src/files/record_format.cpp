#include "files/record_format.h"

#include <algorithm>
#include <utility>

#include "files/record_fields.h"
#include "files/record_profile.h"
#include "platform/byte_reader.h"

namespace sondrix {

namespace {

enum class ERecordForm { Old, Marked };

struct SFieldMap {
    size_t authority;
    size_t id;
    size_t idLimit;
    size_t time;
};

std::optional<ERecordForm> AcceptedForm(std::span<const uint8_t> record,
                                        const SRecordProfile& profile) {
    CByteReader reader(record);
    uint8_t first = 0;
    if (!reader.U8(first)) {
        return std::nullopt;
    }
    if (record.size() == profile.exactMarkedSize ||
        (first == profile.marker && record.size() <= profile.maxMarkedSize)) {
        return ERecordForm::Marked;
    }
    if (record.size() == profile.oldSize) {
        return ERecordForm::Old;
    }
    return std::nullopt;
}

SFieldMap FieldsOf(ERecordForm form, const SRecordProfile& profile, const SRecordContext& context,
                   std::optional<size_t> fileIdFieldLength) {
    if (form == ERecordForm::Old) {
        return {kOldAuthorityOffset, kOldIdOffset, profile.oldIdLimit, profile.oldTimeOffset};
    }
    // A file saved from a module with another ID length says so in its prefix.
    const size_t idField = context.layout == ERecordLayout::Legacy
                               ? kLegacyIdFieldLength
                               : fileIdFieldLength.value_or(context.idFieldLength);
    return {kMarkedAuthorityOffset, kMarkedIdOffset, std::min(idField, profile.markedIdLimit),
            kMarkedIdOffset + idField + kMarkedBytesBetweenIdAndTime};
}

}  // namespace

EFileStatus DecodeRecord(std::span<const uint8_t> record, const SRecordContext& context,
                         std::optional<size_t> fileIdFieldLength, SRecordInfo& out) {
    const SRecordProfile& profile = RecordProfileFor(context);
    const std::optional<ERecordForm> form = AcceptedForm(record, profile);
    if (!form) {
        return EFileStatus::Invalid;
    }
    const SFieldMap fields = FieldsOf(*form, profile, context, fileIdFieldLength);
    CByteReader reader(record);
    uint8_t authority = 0;
    if (!reader.Seek(fields.authority) || !reader.U8(authority) || !reader.Seek(fields.id)) {
        return EFileStatus::Invalid;
    }
    SRecordInfo info;
    info.id = reader.Text(fields.idLimit);
    info.master = authority != 0;
    if (profile.hasTime) {
        SBcdTime time;
        if (!reader.Seek(fields.time) || !SBcdTime::Read(reader, time) || !time.IsPlausible()) {
            return EFileStatus::BadTime;
        }
        info.time = time;
    }
    out = std::move(info);
    return EFileStatus::Ok;
}

std::string RecordFileId(std::span<const uint8_t> record, const SRecordContext& context) {
    CByteReader reader(record);
    uint8_t first = 0;
    const bool marked =
        context.layout == ERecordLayout::Extended || (reader.U8(first) && (first & 0xF0) == 0xC0);
    if (!reader.Seek(marked ? kMarkedIdOffset : kOldIdOffset)) {
        return {};
    }
    // An ID that fills its whole field has no NUL: the bytes after the field
    // are the module's, never part of the name.
    const size_t field = !marked ? RecordProfileFor(context).oldIdLimit
                         : context.layout == ERecordLayout::Legacy ? kLegacyIdFieldLength
                                                                   : context.idFieldLength;
    return reader.Text(field);
}

}  // namespace sondrix
