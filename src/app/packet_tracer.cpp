#include "app/packet_tracer.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/local_time.h"

namespace sondrix {

namespace {

std::string Hex(uint32_t value) {
    char cell[50];
    std::snprintf(cell, sizeof cell, "0x%02x", value);
    return cell;
}

int64_t WallClockUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::string HexText(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

CPacketTracer::CPacketTracer(CDialogModel& dialog, int listId, int& rows)
    : m_dialog(dialog), m_listId(listId), m_rows(rows), m_clock(WallClockUs) {}

void CPacketTracer::CreateColumns() {
    List().SetColumns({{"DIR", 35},
                       {"COMMAND", 80},
                       {"PARAM1", 75},
                       {"PARAM2", 75},
                       {"DATA SIZE", 75},
                       {"ERR CODE", 75},
                       {"DATA", 175}});
}

bool CPacketTracer::Accepts(int mode, bool transferBusy) {
    return mode == kShowAll || (mode == kStandard && !transferBusy);
}

std::vector<std::string> CPacketTracer::RowCells(const CPacket& packet, int direction) {
    std::vector<std::string> cells = {direction == 0 ? "SND" : "RCV",
                                      Hex(packet.command),
                                      Hex(packet.param1),
                                      Hex(packet.param2),
                                      Hex(packet.dataSize),
                                      Hex(packet.errorCode),
                                      std::string()};
    if (packet.dataSize != 0) {
        const size_t shown =
            std::min<size_t>({packet.dataSize, kDataBytesShown, CPacket::kMaxData});
        cells[6] = HexText(packet.data, shown);
    }
    return cells;
}

std::string CPacketTracer::TimeText(int64_t timeUs) {
    const std::time_t seconds = static_cast<std::time_t>(timeUs / 1000000);
    const std::tm local = LocalTime(seconds);
    char text[64];
    const size_t used = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + used, sizeof text - used, ".%06d", static_cast<int>(timeUs % 1000000));
    return text;
}

void CPacketTracer::TracePacket(const CPacket& packet, int direction) {
    STracedPacket traced{m_clock(), direction, packet.WireBytes()};
    CListData::SRow row;
    row.cells = RowCells(packet, direction);
    row.tooltip = TimeText(traced.timeUs);
    if (m_observer) {
        m_observer(traced);
    }
    m_packets.push_back(std::move(traced));
    List().AppendRow(std::move(row));
    if (++m_rows > static_cast<int>(kMaxRows)) {
        List().RemoveFirstRows(1);
        m_packets.pop_front();
    }
}

void CPacketTracer::Clear() {
    List().Clear();
    m_packets.clear();
    m_rows = 0;
}

}  // namespace sondrix
