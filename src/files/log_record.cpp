#include "files/log_record.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "files/bcd_time.h"
#include "platform/byte_reader.h"
#include "platform/printf_format.h"

namespace sondrix {

namespace {

constexpr size_t kLegacyLogRecordSize = 28;
constexpr size_t kExtendedLogRecordSize = 32;

constexpr uint8_t kErrorKind = 1;
constexpr size_t kErrorTextLimit = 22;  // bytes 5..26; byte 27 ends it
constexpr size_t kEventOffset = 5;
constexpr size_t kTimeOffset = 8;

constexpr unsigned KindBit(unsigned kind) {
    return 1U << kind;
}
constexpr unsigned kAllCommandKinds = KindBit(0) | KindBit(2) | KindBit(3);
constexpr unsigned kNewerCommandKinds = KindBit(2) | KindBit(3);

struct SEventName {
    uint8_t code;
    std::string_view name;
    unsigned kinds;
};

// The names keep their padding and tab: the columns of the file depend on them.
constexpr std::array<SEventName, 16> kEventNames{{
    {0, "Enrollment         \t", kAllCommandKinds},
    {1, "Delete Record      \t", kAllCommandKinds},
    {2, "Verification       \t", kAllCommandKinds},
    {3, "Identification     \t", kAllCommandKinds},
    {4, "Min Verification   \t", kAllCommandKinds},
    {5, "Min Identification \t", kAllCommandKinds},
    {6, "Instant Matching   \t", kAllCommandKinds},
    {7, "Enter Master Mode  \t", kAllCommandKinds},
    {8, "Set Master         \t", kAllCommandKinds},
    {9, "Reset Master       \t", kAllCommandKinds},
    {10, "Delete All         \t", kAllCommandKinds},
    {11, "Change FP          \t", kNewerCommandKinds},
    {12, "Change Password    \t", kNewerCommandKinds},
    {13, "Add Fingerprint    \t", kNewerCommandKinds},
    {14, "Instant Verify     \t", kNewerCommandKinds},
    {15, "Instant Identify   \t", kNewerCommandKinds},
}};

// Where the command kinds keep their fields. Kind 0 writes ID then value; the
// kinds with a time write value, time, then ID.
struct SCommandKind {
    uint8_t kind;
    size_t valueOffset;
    bool hasTime;
    size_t idOffset;
    size_t idLimit;
    int idWidth;
};

constexpr std::array<SCommandKind, 3> kCommandKinds{{
    {0, 16, false, 6, 9, 11},
    {2, 6, true, 16, 10, 11},
    {3, 6, true, 16, 15, 16},
}};

std::string_view EventName(uint8_t code, uint8_t kind) {
    const auto* found = std::find_if(kEventNames.begin(), kEventNames.end(), [&](const auto& e) {
        return e.code == code && (e.kinds & KindBit(kind)) != 0;
    });
    return found == kEventNames.end() ? std::string_view() : found->name;
}

SONDRIX_PRINTF_FORMAT(2, 3) void AppendFormat(std::string& line, const char* format, ...) {
    std::array<char, 64> text{};  // the longest piece is a 16-character ID field
    va_list args;
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    line += text.data();
}

// Text fields come from the module as they are: a line break or tab in them
// would split the record's line or shift its columns, so control characters
// are written as '?'.
std::string LineSafe(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; }, '?');
    return text;
}

bool AppendCommand(std::string& line, const SCommandKind& layout, CByteReader& reader) {
    uint8_t event = 0;
    uint16_t value = 0;
    SBcdTime time;
    if (!reader.Seek(kEventOffset) || !reader.U8(event) || !reader.Seek(layout.valueOffset) ||
        !reader.U16BE(value) ||
        (layout.hasTime && (!reader.Seek(kTimeOffset) || !SBcdTime::Read(reader, time))) ||
        !reader.Seek(layout.idOffset)) {
        return false;
    }
    const std::string id = LineSafe(reader.Text(layout.idLimit));
    line += "COMMAND\t";
    line += EventName(event, layout.kind);
    if (!layout.hasTime) {
        AppendFormat(line, "%*s \t", layout.idWidth, id.c_str());
        AppendFormat(line, "\t%d", value);
        return true;
    }
    AppendFormat(line, "\t%d\t", value);
    line += time.ToString();
    AppendFormat(line, "%*s \t", layout.idWidth, id.c_str());
    return true;
}

const SCommandKind* FindCommandKind(uint8_t kind) {
    const auto* found = std::find_if(kCommandKinds.begin(), kCommandKinds.end(),
                                     [&](const SCommandKind& k) { return k.kind == kind; });
    return found == kCommandKinds.end() ? nullptr : found;
}

}  // namespace

size_t LogRecordSize(const SRecordContext& context) {
    return context.layout == ERecordLayout::Legacy ? kLegacyLogRecordSize : kExtendedLogRecordSize;
}

std::string FormatLogLine(std::span<const uint8_t> record) {
    CByteReader reader(record);
    uint32_t sequence = 0;
    uint8_t kind = 0;
    const bool hasHeader = reader.U32BE(sequence) && reader.U8(kind);
    std::string line;
    AppendFormat(line, "0x%04x\t\t", sequence);
    if (hasHeader && kind == kErrorKind) {
        line += "ERROR \t";
        line += LineSafe(reader.Text(kErrorTextLimit));  // the text follows the kind byte
        return line;
    }
    const SCommandKind* layout = hasHeader ? FindCommandKind(kind) : nullptr;
    if (layout != nullptr && AppendCommand(line, *layout, reader)) {
        return line;
    }
    // Never drop a record: what cannot be decoded is written as its raw bytes.
    if (hasHeader && layout == nullptr) {
        AppendFormat(line, "UNKNOWN KIND 0x%02x\t", kind);
    } else {
        line += "SHORT RECORD\t";
    }
    const char* separator = "";
    for (const uint8_t byte : record) {
        AppendFormat(line, "%s%02x", separator, byte);
        separator = " ";
    }
    return line;
}

}  // namespace sondrix
