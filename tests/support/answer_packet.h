#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/packet.h"

namespace sondrix::test {

// Builds module answers to hand straight to a response handler, each in the
// one packet the packet manager would hand on.
class CAnswerPacket {
  public:
    CPacket& operator()(uint32_t command, uint32_t result, uint32_t param2,
                        const std::vector<uint8_t>& data = {}, uint32_t errorCode = 0) {
        m_packet->ClearHeader();
        m_packet->command = command;
        m_packet->param1 = result;
        m_packet->param2 = param2;
        m_packet->errorCode = errorCode;
        m_packet->dataSize = static_cast<uint32_t>(data.size());
        std::copy(data.begin(), data.end(), m_packet->data);
        return *m_packet;
    }

  private:
    std::unique_ptr<CPacket> m_packet = std::make_unique<CPacket>();
};

}  // namespace sondrix::test
