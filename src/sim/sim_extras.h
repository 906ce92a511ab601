#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's custom data area, its event log, and its GPIO pins
// with their configuration and test.
class CSimExtras : public CSimCommandGroup {
  public:
    static constexpr uint32_t kCustomDataSize = 8192;
    static constexpr uint32_t kMaxCustomBlock = 256;
    // A log record as the module keeps it; modules of the older layout send
    // only its first 28 bytes.
    static constexpr size_t kLogRecordBytes = 32;
    static constexpr size_t kLegacyLogRecordBytes = 28;
    static constexpr size_t kLogCapacity = 5000;
    static constexpr size_t kSeededLogRecords = 150;
    static constexpr size_t kDefaultRecordsPerChunk = 64;
    static constexpr uint32_t kGpioPins = 8;
    static constexpr uint32_t kGpioRead = 256;
    using LogRecord = std::array<uint8_t, kLogRecordBytes>;

    explicit CSimExtras(CSimModule& module);

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

    std::vector<uint8_t>& CustomData() { return m_custom; }

    // The event log, oldest first. Until something else is put there it
    // holds kSeededLogRecords records of every kind the module writes, the
    // same on every run.
    const std::vector<LogRecord>& Log();
    // Empties the log (and keeps it from being seeded).
    void ClearLog();
    // Appends a record as the module wrote it; its sequence number is kept
    // and later events are numbered after it.
    void AppendLogRecord(std::span<const uint8_t> record);
    // Appends a command event, numbered and stamped with the module clock in
    // the record kind of the module's layout.
    void AddEvent(uint8_t event, uint16_t value, const std::string& id);
    // The index of the oldest record the host has not read yet.
    size_t FirstUnread() const { return m_firstUnread; }
    // Records per log answer (tests make it small to get several chunks).
    size_t recordsPerChunk = kDefaultRecordsPerChunk;

    uint32_t GpioFunction(uint32_t pin) const { return m_gpioFunction.at(pin); }
    int GpioLevel(uint32_t pin) const { return m_gpioLevel.at(pin); }
    // The level something outside drives onto an input pin.
    void SetInputLevel(uint32_t pin, int level) { m_inputLevel.at(pin) = level; }

  private:
    void OnReadCustomData(const CPacket& request, std::vector<SSimReply>& out);
    void OnWriteCustomData(const CPacket& request, std::vector<SSimReply>& out);
    void OnGetLogData(const CPacket& request, std::vector<SSimReply>& out);
    void OnSetGpioConfig(const CPacket& request, std::vector<SSimReply>& out);
    void OnGpioTest(const CPacket& request, std::vector<SSimReply>& out);
    // Answers chunk `chunk` of the records [first, end) of the log; false
    // when there is no such chunk. `lastSent` tells whether it was the last.
    bool AnswerLogRange(std::vector<SSimReply>& out, size_t first, size_t end, uint32_t chunk,
                        bool* lastSent = nullptr);
    void Seed();
    void Push(const LogRecord& record);
    bool LegacyLayout() const;
    size_t RecordSize() const;

    std::vector<uint8_t> m_custom;
    std::vector<LogRecord> m_log;
    bool m_seeded = false;
    uint32_t m_nextSequence = 1;
    size_t m_firstUnread = 0;
    // The records a paged download covers, fixed when its first chunk is asked for.
    size_t m_pageFirst = 0;
    size_t m_pageEnd = 0;
    std::array<uint32_t, kGpioPins> m_gpioFunction{};
    std::array<int, kGpioPins> m_gpioLevel{};
    std::array<int, kGpioPins> m_inputLevel{};
};

}  // namespace sondrix
