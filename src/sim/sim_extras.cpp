#include "sim/sim_extras.h"

#include <algorithm>
#include <ctime>

#include "files/bcd_time.h"
#include "files/record_context.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/local_time.h"
#include "sim/sim_module.h"

namespace sondrix {

namespace {

using LogRecord = CSimExtras::LogRecord;

constexpr size_t kLogHeader = 4;  // record count (16 bits) and two unused bytes
constexpr uint8_t kErrorKind = 1;
constexpr uint32_t kDisabledPin = 255;
constexpr uint32_t kOutputBase = 128;

enum ELogOption : uint32_t {
    kNthPrevious = 0,
    kOldestUnread = 1,
    kLastWritten = 2,
    kAllLogs = 3,
    kOldestUnreadToLast = 4,
};

bool ValidGpioFunction(uint32_t code) {
    return code <= 8 || (code >= kOutputBase && code <= kOutputBase + 8) || code == kDisabledPin;
}

bool IsOutput(uint32_t code) {
    return code >= kOutputBase && code != kDisabledPin;
}

void PutText(LogRecord& record, size_t offset, const std::string& text, size_t limit) {
    std::copy_n(text.begin(), std::min(text.size(), limit), record.begin() + offset);
}

std::array<uint8_t, 7> BcdOf(int64_t wallSeconds) {
    return SBcdTime::FromTm(UtcCalendar(wallSeconds)).ToBytes();
}

// A command event in the module's layouts: kind 0 keeps a 9-character ID
// before its value and no time; kinds 2 and 3 keep value, time and an ID of
// 10 or 15 characters.
LogRecord CommandRecord(uint32_t sequence, uint8_t kind, uint8_t event, uint16_t value,
                        const std::array<uint8_t, 7>& time, const std::string& id) {
    LogRecord record{};
    PutU32BE(record.data(), sequence);
    record[4] = kind;
    record[5] = event;
    if (kind == 0) {
        PutText(record, 6, id, 9);
        record[16] = static_cast<uint8_t>(value >> 8);
        record[17] = static_cast<uint8_t>(value);
        return record;
    }
    record[6] = static_cast<uint8_t>(value >> 8);
    record[7] = static_cast<uint8_t>(value);
    std::copy(time.begin(), time.end(), record.begin() + 8);
    PutText(record, 16, id, kind == 3 ? 15 : 10);
    return record;
}

LogRecord ErrorRecord(uint32_t sequence, const std::string& text) {
    LogRecord record{};
    PutU32BE(record.data(), sequence);
    record[4] = kErrorKind;
    PutText(record, 5, text, 22);
    return record;
}

}  // namespace

CSimExtras::CSimExtras(CSimModule& module)
    : CSimCommandGroup(module), m_custom(kCustomDataSize, 0) {}

bool CSimExtras::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    switch (request.command) {
        case CMD_READ_CUSTOM_DATA:
            OnReadCustomData(request, out);
            return true;
        case CMD_WRITE_CUSTOM_DATA:
            OnWriteCustomData(request, out);
            return true;
        case CMD_DELETE_CUSTOM_DATA:
            std::fill(m_custom.begin(), m_custom.end(), 0);
            m_module.Answer(out, CMD_DELETE_CUSTOM_DATA, RESULT_SUCCESS, 0);
            return true;
        case CMD_GET_LOG_DATA:
            OnGetLogData(request, out);
            return true;
        case CMD_DELETE_LOG_DATA:
            ClearLog();
            m_module.Answer(out, CMD_DELETE_LOG_DATA, RESULT_SUCCESS, 0);
            return true;
        case CMD_SET_GPIO_CONFIG:
            OnSetGpioConfig(request, out);
            return true;
        case CMD_GPIO_TEST:
            OnGpioTest(request, out);
            return true;
        default:
            return false;
    }
}

// Addresses and sizes the module cannot take at all are invalid parameters;
// a block that runs past the end of the area is a plain failure.
void CSimExtras::OnReadCustomData(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t address = request.param1;
    const uint32_t size = request.param2;
    if (address >= kCustomDataSize || size > kMaxCustomBlock) {
        m_module.Answer(out, CMD_READ_CUSTOM_DATA, RESULT_INVALID_PARAMETER, 0);
    } else if (address + size > kCustomDataSize) {
        m_module.Answer(out, CMD_READ_CUSTOM_DATA, RESULT_FAILED, 0);
    } else {
        m_module.Answer(out, CMD_READ_CUSTOM_DATA, RESULT_SUCCESS, size, m_custom.data() + address,
                        size);
    }
}

void CSimExtras::OnWriteCustomData(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t address = request.param1;
    const uint32_t size = request.param2;
    if (address >= kCustomDataSize || size == 0 || size > kMaxCustomBlock) {
        m_module.Answer(out, CMD_WRITE_CUSTOM_DATA, RESULT_INVALID_PARAMETER, 0);
    } else if (request.dataSize != size) {
        m_module.Answer(out, CMD_WRITE_CUSTOM_DATA, RESULT_INVALID_DATA_SIZE, 0);
    } else if (address + size > kCustomDataSize) {
        m_module.Answer(out, CMD_WRITE_CUSTOM_DATA, RESULT_FAILED, 0);
    } else {
        std::copy_n(request.data, size, m_custom.begin() + address);
        m_module.Answer(out, CMD_WRITE_CUSTOM_DATA, RESULT_SUCCESS, 0);
    }
}

const std::vector<LogRecord>& CSimExtras::Log() {
    Seed();
    return m_log;
}

void CSimExtras::ClearLog() {
    m_seeded = true;
    m_log.clear();
    m_firstUnread = 0;
    m_pageFirst = 0;
    m_pageEnd = 0;
}

void CSimExtras::AppendLogRecord(std::span<const uint8_t> record) {
    Seed();
    LogRecord kept{};
    std::copy_n(record.begin(), std::min(record.size(), kept.size()), kept.begin());
    // Events that follow are numbered after it.
    m_nextSequence = std::max(m_nextSequence, GetU32BE(kept.data()) + 1);
    Push(kept);
}

void CSimExtras::AddEvent(uint8_t event, uint16_t value, const std::string& id) {
    Seed();
    Push(CommandRecord(m_nextSequence++, LegacyLayout() ? 2 : 3, event, value,
                       m_module.ModuleTime(), id));
}

void CSimExtras::Push(const LogRecord& record) {
    if (m_log.size() == kLogCapacity) {
        // A full log drops its oldest record; what pointed past it moves with it.
        m_log.erase(m_log.begin());
        for (size_t* index : {&m_firstUnread, &m_pageFirst, &m_pageEnd}) {
            *index = *index == 0 ? 0 : *index - 1;
        }
    }
    m_log.push_back(record);
}

// The first look at the log fills it with a fixed history: commands of the
// kinds the module's layout writes, every tenth record an error.
void CSimExtras::Seed() {
    if (m_seeded) {
        return;
    }
    m_seeded = true;
    static const std::array<const char*, 3> kErrors = {"Sensor not responding", "Flash write error",
                                                       "Template mismatch"};
    const bool legacy = LegacyLayout();
    std::tm start{};
    start.tm_year = 2016 - 1900;
    start.tm_mon = 2;
    start.tm_mday = 7;
    start.tm_hour = 8;
    const int64_t base = UtcSeconds(start);
    for (size_t i = 0; i < kSeededLogRecords; ++i) {
        const uint32_t sequence = m_nextSequence++;
        if (i % 10 == 9) {
            Push(ErrorRecord(sequence, kErrors[i % kErrors.size()]));
            continue;
        }
        const uint8_t kind = legacy ? (i % 2 == 0 ? 0 : 2) : (i % 3 == 2 ? 2 : 3);
        const auto event = static_cast<uint8_t>(i % (kind == 0 ? 11 : 16));
        const auto value = static_cast<uint16_t>(i % 7 == 0 ? 2 : 1);
        const std::string id = std::to_string(1 + (i * 7919) % 123457);
        Push(CommandRecord(sequence, kind, event, value, BcdOf(base + static_cast<int64_t>(i) * 97),
                           id));
    }
    m_firstUnread = 0;
}

bool CSimExtras::LegacyLayout() const {
    return m_module.Family().LegacyLayout();
}

size_t CSimExtras::RecordSize() const {
    return LegacyLayout() ? kLegacyLogRecordBytes : kLogRecordBytes;
}

// Options 0 to 2 answer one record; options 3 and 4 page through their range,
// the host asking for each chunk by its index.
void CSimExtras::OnGetLogData(const CPacket& request, std::vector<SSimReply>& out) {
    Seed();
    const size_t count = m_log.size();
    const uint32_t chunk = request.param2;
    bool answered = true;
    switch (request.param1) {
        case kNthPrevious: {
            const size_t back = request.param2;
            answered = back < count ? AnswerLogRange(out, count - 1 - back, count - back, 0)
                                    : AnswerLogRange(out, 0, 0, 0);
            break;
        }
        case kOldestUnread: {
            const size_t first = std::min(m_firstUnread, count);
            answered = AnswerLogRange(out, first, std::min(first + 1, count), 0);
            m_firstUnread = std::min(first + 1, count);
            break;
        }
        case kLastWritten:
            answered = AnswerLogRange(out, count == 0 ? 0 : count - 1, count, 0);
            break;
        case kAllLogs:
        case kOldestUnreadToLast: {
            if (chunk == 0) {
                m_pageFirst = request.param1 == kAllLogs ? 0 : std::min(m_firstUnread, count);
                m_pageEnd = count;
            }
            bool lastSent = false;
            answered = AnswerLogRange(out, m_pageFirst, m_pageEnd, chunk, &lastSent);
            if (lastSent) {
                // The host has now read everything the download covered.
                m_firstUnread = std::max(m_firstUnread, m_pageEnd);
            }
            break;
        }
        default:
            answered = false;
            break;
    }
    if (!answered) {
        m_module.Answer(out, CMD_GET_LOG_DATA, RESULT_INVALID_PARAMETER, 0);
    }
}

bool CSimExtras::AnswerLogRange(std::vector<SSimReply>& out, size_t first, size_t end,
                                uint32_t chunk, bool* lastSent) {
    if (first >= end) {
        if (chunk != 0) {
            return false;
        }
        // No record: success without data.
        m_module.Answer(out, CMD_GET_LOG_DATA, RESULT_SUCCESS, 0);
        return true;
    }
    const size_t size = RecordSize();
    const size_t total = end - first;
    constexpr size_t kMaxChunks = 256;  // the chunk indices travel in 8 bits
    const size_t perChunk =
        std::min(std::max({recordsPerChunk, size_t{1}, (total + kMaxChunks - 1) / kMaxChunks}),
                 (CPacket::kMaxData - kLogHeader) / size);
    const size_t lastChunk = (total - 1) / perChunk;
    if (chunk > lastChunk) {
        return false;
    }
    const size_t from = first + chunk * perChunk;
    const size_t records = std::min(perChunk, end - from);
    std::vector<uint8_t> data(kLogHeader + records * size, 0);
    data[0] = static_cast<uint8_t>(records >> 8);
    data[1] = static_cast<uint8_t>(records);
    for (size_t i = 0; i < records; ++i) {
        std::copy_n(m_log[from + i].begin(), size, data.begin() + kLogHeader + i * size);
    }
    if (lastSent != nullptr) {
        *lastSent = chunk == lastChunk;
    }
    m_module.Answer(out, CMD_GET_LOG_DATA, RESULT_SUCCESS,
                    static_cast<uint32_t>((chunk << 8) | lastChunk), data.data(),
                    static_cast<uint32_t>(data.size()));
    return true;
}

void CSimExtras::OnSetGpioConfig(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t pin = request.param1;
    const uint32_t function = request.param2;
    if (pin >= kGpioPins || !ValidGpioFunction(function)) {
        m_module.Answer(out, CMD_SET_GPIO_CONFIG, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    m_gpioFunction[pin] = function;
    m_gpioLevel[pin] = 0;
    m_module.Answer(out, CMD_SET_GPIO_CONFIG, RESULT_SUCCESS, 0);
}

// A read answers the level in the low byte with bit 8 set, so that a low pin
// still gives a non-zero answer; driving a pin answers 0. Only output pins
// can be driven, and a disabled pin does nothing.
void CSimExtras::OnGpioTest(const CPacket& request, std::vector<SSimReply>& out) {
    const uint32_t pin = request.param1;
    const uint32_t action = request.param2;
    if (pin >= kGpioPins || (action != kGpioRead && action > 1)) {
        m_module.Answer(out, CMD_GPIO_TEST, RESULT_INVALID_PARAMETER, 0);
        return;
    }
    const uint32_t function = m_gpioFunction[pin];
    if (function == kDisabledPin || (action != kGpioRead && !IsOutput(function))) {
        m_module.Answer(out, CMD_GPIO_TEST, RESULT_FAILED, 0);
        return;
    }
    if (action == kGpioRead) {
        const int level = IsOutput(function) ? m_gpioLevel[pin] : m_inputLevel[pin];
        m_module.Answer(out, CMD_GPIO_TEST, RESULT_SUCCESS,
                        kGpioRead | static_cast<uint32_t>(level));
        return;
    }
    m_gpioLevel[pin] = static_cast<int>(action);
    m_module.Answer(out, CMD_GPIO_TEST, RESULT_SUCCESS, 0);
}

}  // namespace sondrix
