#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's firmware and backup-firmware transfers. A transfer
// is a run of 4100-byte chunks, index 0 first: param2 is index x 256 + the
// last chunk's index, the payload the image size (big-endian) and 4096 image
// bytes. Chunks are taken in order and checked against the transfer they
// belong to; the image is kept so that tests can compare it with the file.
class CSimFirmware : public CSimCommandGroup {
  public:
    static constexpr uint32_t kChunkBytes = 4096;
    static constexpr uint32_t kPayloadBytes = kChunkBytes + 4;
    static constexpr uint32_t kMaxImageBytes = 256 * kChunkBytes;

    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

    // The image bytes taken so far by the firmware (backup false) or the
    // backup transfer, and whether its last chunk has been taken.
    const std::vector<uint8_t>& Received(bool backup) const;
    bool Complete(bool backup) const;

    // Refuses chunk `index` the next `times` times it arrives: with `result`,
    // or when `result` is 0 as a packet that arrived damaged (errorCode 2).
    void RefuseChunk(uint32_t index, uint32_t result, int times = 1);

  private:
    struct STransfer {
        std::vector<uint8_t> image;
        uint32_t size = 0;  // the image size every chunk declares
        uint32_t lastChunk = 0;
        uint32_t nextChunk = 0;  // 0: no transfer under way
        bool complete = false;
    };

    void OnChunk(STransfer& transfer, const CPacket& request, std::vector<SSimReply>& out);
    // The result for a chunk; a good chunk is stored.
    static uint32_t TakeChunk(STransfer& transfer, const CPacket& request);

    STransfer m_firmware;
    STransfer m_backup;
    uint32_t m_refusedIndex = 0;
    uint32_t m_refusalResult = 0;
    int m_refusals = 0;
};

}  // namespace sondrix
