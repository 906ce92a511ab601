#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/packet.h"
#include "platform/dialog_model.h"

namespace sondrix {

// Bytes as lower-case hexadecimal digits, two a byte, nothing between.
std::string HexText(const uint8_t* bytes, size_t count);

// One packet as it went over the line: when, which way, and every byte.
struct STracedPacket {
    int64_t timeUs = 0;  // microseconds since 1970-01-01 UTC
    int direction = 0;   // 0 sent, 1 received
    std::vector<uint8_t> bytes;
};

// The packet list under the tabs: one row per sent or good received packet,
// newest at the bottom, at most 1000 rows. Beside each row it keeps the
// packet's time stamp (the row's tooltip) and its full bytes, so that the
// session can be saved as a trace.
class CPacketTracer {
  public:
    static constexpr size_t kMaxRows = 1000;
    static constexpr size_t kDataBytesShown = 24;

    enum EMode { kStandard = 0, kShowAll = 1, kDisabled = 2 };

    using Clock = std::function<int64_t()>;  // microseconds since 1970-01-01 UTC
    using Observer = std::function<void(const STracedPacket&)>;

    // `rows` counts every row ever added since the last clear (the count
    // keeps growing past the cap).
    CPacketTracer(CDialogModel& dialog, int listId, int& rows);

    void CreateColumns();
    // Whether a packet is traced in `mode` while `transferBusy` is as given.
    static bool Accepts(int mode, bool transferBusy);
    void TracePacket(const CPacket& packet, int direction);
    void Clear();

    // The packets behind the rows, oldest first (as many as there are rows).
    const std::deque<STracedPacket>& Packets() const { return m_packets; }
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    // Sees every traced packet, also those the capped list has let go.
    void SetObserver(Observer observer) { m_observer = std::move(observer); }

    // The seven cells of a packet's row.
    static std::vector<std::string> RowCells(const CPacket& packet, int direction);
    // "2026-12-08 05:10:46.123456", local time.
    static std::string TimeText(int64_t timeUs);

  private:
    CListData& List() { return m_dialog.List(m_listId); }

    CDialogModel& m_dialog;
    int m_listId;
    int& m_rows;
    std::deque<STracedPacket> m_packets;
    Clock m_clock;
    Observer m_observer;
};

}  // namespace sondrix
