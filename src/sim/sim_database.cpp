#include "sim/sim_database.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "files/bcd_time.h"
#include "files/record_fields.h"
#include "files/record_profile.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/byte_reader.h"
#include "sim/sim_configuration.h"
#include "sim/sim_matching.h"
#include "sim/sim_module.h"

namespace sondrix {

namespace {

// Everything of a marked record but its ID field and templates.
constexpr size_t kMarkedFixedBytes =
    kMarkedIdOffset + kMarkedBytesBetweenIdAndTime + kRecordTimeSize;
constexpr uint32_t kLastPageIndex = 255;

struct SCodeFormat {
    uint8_t code;
    uint8_t templateFormat;
};

constexpr std::array<SCodeFormat, 11> kCodeFormats = {{
    {0x01, kTemplateDravik},
    {0x02, kTemplateDravik},
    {0x11, kTemplateDravik},
    {0x12, kTemplateDravik},
    {0x13, kTemplateIso19794},
    {0x14, kTemplateIso19794},
    {0x15, kTemplateAnsi378},
    {0x16, kTemplateAnsi378},
    {0x20, kTemplateDravik},
    {0x21, kTemplateIso19794},
    {0x22, kTemplateAnsi378},
}};

std::optional<uint8_t> TemplateFormatOf(uint32_t code) {
    const auto it = std::find_if(kCodeFormats.begin(), kCodeFormats.end(),
                                 [code](const SCodeFormat& f) { return f.code == code; });
    return it == kCodeFormats.end() ? std::nullopt : std::optional<uint8_t>(it->templateFormat);
}

bool IsOldFormCode(const SRecordProfile& profile, uint32_t code) {
    return profile.oldSize != 0 && code == profile.downloadCodes[0];
}

// Copies `text` into a zero-filled field of `size` bytes at `at`; a text
// that fills the field keeps no terminating zero, as modules store it.
void PutField(std::vector<uint8_t>& bytes, size_t at, std::span<const uint8_t> text, size_t size) {
    std::copy_n(text.begin(), std::min(text.size(), size), bytes.begin() + at);
}

// The templates stored back to back at the start of `area`; stops at the
// first bytes that are no template.
std::vector<SFinger> ReadTemplates(std::span<const uint8_t> area) {
    std::vector<SFinger> fingers;
    while (const std::optional<STemplateInfo> info = ReadTemplate(area)) {
        fingers.push_back(info->finger);
        area = area.subspan(info->length);
    }
    return fingers;
}

// The module clock now, as records store it.
}  // namespace

bool CSimDatabase::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    constexpr std::array kCommands = {
        CMD_GET_USER_LIST,        CMD_GET_MASTER_LIST, CMD_DOWNLOAD_RECORD, CMD_UPLOAD_RECORD,
        CMD_SET_MASTER_AUTHORITY, CMD_DELETE_ALL,      CMD_DELETE_USER};
    if (std::find(kCommands.begin(), kCommands.end(), request.command) == kCommands.end()) {
        return false;
    }
    // The user database is the masters' business.
    if (!m_module.Matching().MasterMode()) {
        m_module.Answer(out, request.command, RESULT_NOT_MASTER_MODE, 0);
        return true;
    }
    switch (request.command) {
        case CMD_GET_USER_LIST:
        case CMD_GET_MASTER_LIST:
            OnList(request, out);
            return true;
        case CMD_DOWNLOAD_RECORD:
            OnDownloadRecord(request, out);
            return true;
        case CMD_UPLOAD_RECORD:
            OnUploadRecord(request, out);
            return true;
        case CMD_SET_MASTER_AUTHORITY:
            OnSetMasterAuthority(request, out);
            return true;
        case CMD_DELETE_ALL:
            OnDeleteAll(request, out);
            return true;
        case CMD_DELETE_USER:
            OnDeleteUser(request, out);
            return true;
        default:
            return false;
    }
}

SRecordContext CSimDatabase::Context() const {
    const CSimConfiguration& options = m_module.Configuration();
    return SRecordContext::FromModule(
        m_module.Family(), static_cast<int>(options.Value(kOptionTemplateMode).value_or(2)),
        m_module.Matching().IdFieldLength(), m_module.Config().modelCode == kModelHlxM28);
}

size_t CSimDatabase::EntrySize() const {
    const SRecordContext context = Context();
    return context.layout == ERecordLayout::Legacy ? kLegacyEntrySize : context.idFieldLength;
}

uint32_t CSimDatabase::CheckCode(uint32_t code) const {
    const SRecordContext context = Context();
    const auto& codes = RecordProfileFor(context).downloadCodes;
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) {
        return RESULT_SUCCESS;
    }
    // A legacy code of the other template mode names records this module cannot hold.
    const bool legacyCode = TemplateFormatOf(code).has_value() && code < 0x20;
    return context.layout == ERecordLayout::Legacy && legacyCode ? RESULT_WRONG_TEMPLATE_MODE
                                                                 : RESULT_INVALID_PARAMETER;
}

std::vector<uint8_t> CSimDatabase::MakeRecord(const SSimUser& user, uint8_t code) const {
    const SRecordContext context = Context();
    const SRecordProfile& profile = RecordProfileFor(context);
    const std::optional<uint8_t> format = TemplateFormatOf(code);
    if (CheckCode(code) != RESULT_SUCCESS || !format) {
        return {};
    }
    const size_t templateSize = m_module.Matching().TemplateSize();
    std::vector<uint8_t> record;
    size_t templatesAt = 0;
    size_t slots = 0;
    const bool oldForm = IsOldFormCode(profile, code);
    if (oldForm) {
        record.assign(profile.oldSize, 0);
        record[0] = user.authority;
        PutField(record, kOldIdOffset, user.id, profile.oldIdLimit);
        if (profile.hasTime) {
            std::copy(user.registered.begin(), user.registered.end(),
                      record.begin() + static_cast<std::ptrdiff_t>(profile.oldTimeOffset));
        }
        templatesAt = kOldTemplatesOffset;
        const size_t end = profile.hasTime ? profile.oldTimeOffset : profile.oldSize;
        slots = (end - templatesAt) / templateSize;
    } else {
        const size_t idField = EntrySize();
        templatesAt = kMarkedFixedBytes + idField;
        slots = (profile.maxMarkedSize - templatesAt) / templateSize;
        record.assign(templatesAt, 0);
        record[0] = profile.marker;
        record[kMarkedCodeOffset] = code;
        record[kMarkedLevelOffset] = user.securityLevel;
        record[kMarkedAuthorityOffset] = user.authority;
        PutField(record, kMarkedIdOffset, user.id, idField);
        PutField(record, kMarkedIdOffset + idField, user.password, kRecordPasswordField - 1);
        std::copy(user.registered.begin(), user.registered.end(),
                  record.end() - static_cast<std::ptrdiff_t>(kRecordTimeSize));
    }
    const size_t count = std::min(slots, user.fingers.size());
    if (!oldForm) {
        record[kMarkedCountOffset] = static_cast<uint8_t>(count);
    }
    for (size_t i = 0; i < count; ++i) {
        const std::vector<uint8_t> templ = MakeTemplate(user.fingers[i], templateSize, *format);
        const size_t at = templatesAt + i * templateSize;
        if (record.size() < at + templ.size()) {
            record.resize(at + templ.size());
        }
        std::copy(templ.begin(), templ.end(), record.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return record;
}

void CSimDatabase::OnList(const CPacket& request, std::vector<SSimReply>& out) {
    const bool masters = request.command == CMD_GET_MASTER_LIST;
    if (!masters && request.param1 == 1) {
        OnUserCount(out);
        return;
    }
    if (!masters && request.param1 != 0) {
        m_module.Answer(out, request.command, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    std::vector<const SSimUser*> listed;
    for (const SSimUser& user : m_module.UserDb().Users()) {
        if (!masters || user.authority != 0) {
            listed.push_back(&user);
        }
    }
    const size_t stride = EntrySize();
    const size_t pageBytes =
        Context().layout == ERecordLayout::Legacy ? kLegacyPageBytes : kExtendedPageBytes;
    // Page indexes are eight bits wide: a very long list fills its pages further.
    size_t perPage = entriesPerPage != 0 ? entriesPerPage : std::max<size_t>(1, pageBytes / stride);
    perPage = std::max(perPage, (listed.size() + kLastPageIndex) / (kLastPageIndex + 1));
    const uint32_t lastPage =
        listed.empty() ? 0 : static_cast<uint32_t>((listed.size() - 1) / perPage);
    const uint32_t page = request.param2;
    if (page > lastPage) {
        m_module.Answer(out, request.command, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const size_t first = size_t{page} * perPage;
    const size_t count = std::min(perPage, listed.size() - std::min(first, listed.size()));
    std::vector<uint8_t> data(4 + count * stride, 0);
    data[0] = static_cast<uint8_t>(count >> 8);
    data[1] = static_cast<uint8_t>(count);
    for (size_t i = 0; i < count; ++i) {
        PutField(data, 4 + i * stride, listed[first + i]->id, stride);
    }
    m_module.Answer(out, request.command, RESULT_SUCCESS, (page << 8) | lastPage, data.data(),
                    static_cast<uint32_t>(data.size()));
}

void CSimDatabase::OnUserCount(std::vector<SSimReply>& out) {
    const auto count = static_cast<uint32_t>(m_module.UserDb().Count());
    const std::array<uint8_t, 4> data{static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count),
                                      0, 0};
    m_module.Answer(out, CMD_GET_USER_LIST, RESULT_SUCCESS, count, data.data(),
                    static_cast<uint32_t>(data.size()));
}

void CSimDatabase::OnDownloadRecord(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t refusal = CheckCode(request.param2);
    if (refusal != RESULT_SUCCESS) {
        m_module.Answer(out, CMD_DOWNLOAD_RECORD, refusal, 0);
        return;
    }
    std::vector<SSimUser>& users = m_module.UserDb().Users();
    const SSimUser* user = nullptr;
    switch (request.param1) {
        case 0:
            user = m_module.UserDb().Find(CSimUserDb::IdOfField({request.data, request.dataSize}));
            if (user == nullptr) {
                m_module.Answer(out, CMD_DOWNLOAD_RECORD, RESULT_INVALID_ID, 0);
                return;
            }
            break;
        case 1:
        case 2:
            m_nextRecord = request.param1 == 1 ? 0 : m_nextRecord + 1;
            if (m_nextRecord >= users.size()) {
                m_module.Answer(out, CMD_DOWNLOAD_RECORD, RESULT_FAILED, 0);
                return;
            }
            user = &users[m_nextRecord];
            break;
        default:
            m_module.Answer(out, CMD_DOWNLOAD_RECORD, RESULT_INVALID_PARAMETER, 0);
            return;
    }
    const std::vector<uint8_t> record = MakeRecord(*user, static_cast<uint8_t>(request.param2));
    m_module.Answer(out, CMD_DOWNLOAD_RECORD, RESULT_SUCCESS, 0, record.data(),
                    static_cast<uint32_t>(record.size()));
}

void CSimDatabase::OnUploadRecord(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t refusal = CheckCode(request.param1);
    if (refusal != RESULT_SUCCESS) {
        m_module.Answer(out, CMD_UPLOAD_RECORD, refusal, 0);
        return;
    }
    const SRecordContext context = Context();
    const SRecordProfile& profile = RecordProfileFor(context);
    const std::span<const uint8_t> record(request.data, request.dataSize);
    CByteReader reader(record);
    uint8_t first = 0;
    reader.PeekU8(first);
    const bool oldForm = IsOldFormCode(profile, request.param1);
    const bool fits = oldForm ? record.size() == profile.oldSize
                              : first == profile.marker && record.size() <= profile.maxMarkedSize;
    if (!fits) {
        m_module.Answer(out, CMD_UPLOAD_RECORD, RESULT_INVALID_DATA, 0);
        return;
    }
    SSimUser user;
    uint8_t authority = 0;
    std::vector<SFinger> fingers;
    if (oldForm) {
        reader.U8(authority);
        const std::string id = reader.Text(profile.oldIdLimit);
        user.id.assign(id.begin(), id.end());
        CByteReader time(record);
        if (!profile.hasTime || !time.Seek(profile.oldTimeOffset) ||
            !time.Bytes(user.registered.data(), kRecordTimeSize)) {
            // A record without a time is registered now, by the module's clock.
            user.registered = m_module.ModuleTime();
        }
        fingers = ReadTemplates(record.subspan(kOldTemplatesOffset));
    } else {
        const size_t idField = EntrySize();
        std::span<const uint8_t> id;
        std::span<const uint8_t> password;
        if (!reader.Seek(kMarkedLevelOffset) || !reader.U8(user.securityLevel) ||
            !reader.U8(authority) || !reader.View(id, idField) ||
            !reader.View(password, kRecordPasswordField) || !reader.Skip(kRecordReservedBytes) ||
            !reader.Bytes(user.registered.data(), kRecordTimeSize)) {
            m_module.Answer(out, CMD_UPLOAD_RECORD, RESULT_INVALID_DATA_SIZE, 0);
            return;
        }
        user.id = CSimUserDb::IdOfField(id);
        user.password = CSimUserDb::IdOfField(password);
        fingers = ReadTemplates(record.subspan(reader.Position()));
    }
    if (user.id.empty()) {
        m_module.Answer(out, CMD_UPLOAD_RECORD, RESULT_INVALID_ID, 0);
        return;
    }
    if (fingers.empty()) {
        m_module.Answer(out, CMD_UPLOAD_RECORD, RESULT_INVALID_DATA, 0);
        return;
    }
    user.authority = authority != 0 ? 1 : 0;
    user.fingers = std::move(fingers);
    m_module.UserDb().Add(std::move(user));
    m_module.Answer(out, CMD_UPLOAD_RECORD, RESULT_SUCCESS,
                    static_cast<uint32_t>(m_module.UserDb().Count()));
}

void CSimDatabase::OnSetMasterAuthority(const CPacket& request, std::vector<SSimReply>& out) {
    if (request.param1 > 1) {
        m_module.Answer(out, CMD_SET_MASTER_AUTHORITY, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    SSimUser* user =
        m_module.UserDb().Find(CSimUserDb::IdOfField({request.data, request.dataSize}));
    if (user == nullptr) {
        m_module.Answer(out, CMD_SET_MASTER_AUTHORITY, RESULT_INVALID_ID, 0);
        return;
    }
    user->authority = static_cast<uint8_t>(request.param1);
    m_module.Answer(out, CMD_SET_MASTER_AUTHORITY, RESULT_SUCCESS, 0);
}

void CSimDatabase::OnDeleteAll(const CPacket& request, std::vector<SSimReply>& out) {
    std::vector<SSimUser>& users = m_module.UserDb().Users();
    switch (request.param1) {
        case 0:
            users.clear();
            break;
        case 1:
        case 2: {
            const bool masters = request.param1 == 2;
            std::erase_if(users,
                          [masters](const SSimUser& u) { return (u.authority != 0) == masters; });
            break;
        }
        default:
            m_module.Answer(out, CMD_DELETE_ALL, RESULT_INVALID_PARAMETER, 0);
            return;
    }
    m_module.Answer(out, CMD_DELETE_ALL, RESULT_SUCCESS, static_cast<uint32_t>(users.size()));
}

void CSimDatabase::OnDeleteUser(const CPacket& request, std::vector<SSimReply>& out) {
    CSimUserDb& users = m_module.UserDb();
    if (!users.Remove(CSimUserDb::IdOfField({request.data, request.dataSize}))) {
        m_module.Answer(out, CMD_DELETE_USER, RESULT_INVALID_ID, 0);
        return;
    }
    m_module.Answer(out, CMD_DELETE_USER, RESULT_SUCCESS, static_cast<uint32_t>(users.Count()));
}

}  // namespace sondrix
