#pragma once

#include <cstdint>
#include <vector>

#include "link/command_table.h"
#include "link/packet.h"
#include "link/packet_manager_wnd.h"
#include "platform/message_loop.h"

namespace sondrix::test {

// A copy of a packet's header and payload, as a notification delivered it.
struct SSeenPacket {
    uint32_t message = 0;
    int direction = -1;
    uint32_t command = 0;
    uint32_t param1 = 0;
    uint32_t param2 = 0;
    uint32_t dataSize = 0;
    uint32_t errorCode = 0;
    std::vector<uint8_t> data;
    const CPacket* address = nullptr;
    int order = 0;  // position among everything the dialog received
};

inline SSeenPacket Snapshot(uint32_t message, const CPacket& p, int direction) {
    SSeenPacket seen{message,    direction,   p.command, p.param1, p.param2,
                     p.dataSize, p.errorCode, {},        &p};
    const uint32_t n = p.dataSize <= CPacket::kMaxData ? p.dataSize : 0;
    seen.data.assign(p.data, p.data + n);
    return seen;
}

// Stands in for the main dialog: owns nothing, records everything the
// packet manager delivers to it.
class CRecordingDialog : public CWindow, public IPacketManagerOwner {
  public:
    explicit CRecordingDialog(CMessageLoop& loop) : CWindow(loop) {}

    int IdLength() const override { return idLength; }
    int PasswordLength() const override { return passwordLength; }
    int DefaultTemplateSize() const override { return templateSize; }
    int ModificationKind() const override { return modificationKind; }

    LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam) override {
        ++deliveries;
        if (message == WM_PACKET_TRACE) {
            traces.push_back(Snapshot(message, *reinterpret_cast<const CPacket*>(wparam),
                                      static_cast<int>(lparam)));
            traces.back().order = deliveries;
        } else if (message == WM_CHECKSUM_ERROR) {
            checksumErrors.push_back(static_cast<int>(wparam));
        } else if (FindCommandByNotification(message)) {
            notifications.push_back(
                Snapshot(message, *reinterpret_cast<const CPacket*>(wparam), 1));
            notifications.back().order = deliveries;
        } else {
            others.push_back({message, wparam});
        }
        return 0;
    }

    size_t Received() const {
        size_t n = 0;
        for (const auto& t : traces) {
            n += t.direction == 1 ? 1 : 0;
        }
        return n;
    }

    int deliveries = 0;
    int idLength = 16;
    int passwordLength = 16;
    int templateSize = 404;
    int modificationKind = 0;
    std::vector<SSeenPacket> traces;
    std::vector<SSeenPacket> notifications;
    std::vector<int> checksumErrors;
    std::vector<std::pair<uint32_t, WPARAM>> others;
};

// Wire bytes of a packet built from header fields and a payload.
inline std::vector<uint8_t> Wire(uint32_t command, uint32_t param1 = 0, uint32_t param2 = 0,
                                 std::vector<uint8_t> payload = {}, uint32_t errorCode = 0) {
    CPacket p;
    p.command = command;
    p.param1 = param1;
    p.param2 = param2;
    p.errorCode = errorCode;
    p.dataSize = static_cast<uint32_t>(payload.size());
    std::copy(payload.begin(), payload.end(), p.data);
    return p.Encode();
}

}  // namespace sondrix::test
