#include "app/packet_tracer.h"

#include <cstdio>

namespace sondrix {

namespace {

std::string Hex(uint32_t value) {
    char cell[50];
    std::snprintf(cell, sizeof cell, "0x%02x", value);
    return cell;
}

}  // namespace

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

void CPacketTracer::TracePacket(const CPacket& packet, int direction) {
    CListData::SRow row;
    row.cells = {direction == 0 ? "SND" : "RCV",
                 Hex(packet.command),
                 Hex(packet.param1),
                 Hex(packet.param2),
                 Hex(packet.dataSize),
                 Hex(packet.errorCode),
                 std::string()};
    if (packet.dataSize != 0) {
        const size_t shown =
            std::min<size_t>({packet.dataSize, kDataBytesShown, CPacket::kMaxData});
        std::string& data = row.cells[6];
        data.reserve(shown * 2);
        static const char kDigits[] = "0123456789abcdef";
        for (size_t i = 0; i < shown; ++i) {
            data.push_back(kDigits[packet.data[i] >> 4]);
            data.push_back(kDigits[packet.data[i] & 0x0F]);
        }
    }
    List().AppendRow(std::move(row));
    if (++m_rows > static_cast<int>(kMaxRows)) {
        List().RemoveFirstRows(1);
    }
}

void CPacketTracer::Clear() {
    List().Clear();
    m_rows = 0;
}

}  // namespace sondrix
