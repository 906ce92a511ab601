#include "sim/sim_firmware.h"

#include <algorithm>

#include "link/command_table.h"
#include "link/result_codes.h"
#include "sim/sim_module.h"

namespace sondrix {

bool CSimFirmware::Handle(const CPacket& request, std::vector<SSimReply>& out) {
    switch (request.command) {
        case CMD_FIRMWARE_DATA:
            OnChunk(m_firmware, request, out);
            return true;
        case CMD_BACKUP_FIRMWARE_DATA:
            OnChunk(m_backup, request, out);
            return true;
        case CMD_UPGRADE_RECORD:
            // Whether a complete firmware image is held.
            m_module.Answer(out, CMD_UPGRADE_RECORD,
                            m_firmware.complete ? RESULT_SUCCESS : RESULT_FAILED, 0);
            return true;
        default:
            return false;
    }
}

const std::vector<uint8_t>& CSimFirmware::Received(bool backup) const {
    return backup ? m_backup.image : m_firmware.image;
}

bool CSimFirmware::Complete(bool backup) const {
    return backup ? m_backup.complete : m_firmware.complete;
}

void CSimFirmware::RefuseChunk(uint32_t index, uint32_t result, int times) {
    m_refusedIndex = index;
    m_refusalResult = result;
    m_refusals = times;
}

void CSimFirmware::OnChunk(STransfer& transfer, const CPacket& request,
                           std::vector<SSimReply>& out) {
    if (m_refusals > 0 && request.param2 >> 8 == m_refusedIndex) {
        --m_refusals;
        if (m_refusalResult == 0) {
            SSimFaults& faults = m_module.Faults();
            const bool linkError = faults.reportLinkError;
            faults.reportLinkError = true;
            m_module.Answer(out, request.command, RESULT_FAILED, request.param2);
            faults.reportLinkError = linkError;
        } else {
            m_module.Answer(out, request.command, m_refusalResult, request.param2);
        }
        return;
    }
    m_module.Answer(out, request.command, TakeChunk(transfer, request), request.param2);
}

uint32_t CSimFirmware::TakeChunk(STransfer& transfer, const CPacket& request) {
    if (request.dataSize != kPayloadBytes) {
        return RESULT_INVALID_DATA_SIZE;
    }
    const uint32_t index = request.param2 >> 8;
    const uint32_t lastChunk = request.param2 & 0xFF;
    const uint32_t size = GetU32BE(request.data);
    if (size > kMaxImageBytes) {
        return RESULT_TOO_LARGE_DATA;
    }
    if (index > lastChunk || size == 0 || (size - 1) / kChunkBytes != lastChunk) {
        return RESULT_INVALID_PARAMETER;
    }
    if (index == 0) {
        transfer = STransfer{};
        transfer.size = size;
        transfer.lastChunk = lastChunk;
        transfer.image.reserve(size);
    } else {
        // The next chunk, or the one just taken once more (its answer may
        // have been lost); anything else is out of order.
        const bool next = index == transfer.nextChunk;
        const bool again = index + 1 == transfer.nextChunk;
        if (transfer.nextChunk == 0 || (!next && !again) || size != transfer.size ||
            lastChunk != transfer.lastChunk) {
            return RESULT_INVALID_PARAMETER;
        }
    }
    const uint32_t offset = index * kChunkBytes;
    const uint32_t count = std::min(kChunkBytes, size - offset);
    transfer.image.resize(offset);
    transfer.image.insert(transfer.image.end(), request.data + 4, request.data + 4 + count);
    transfer.nextChunk = index + 1;
    transfer.complete = index == lastChunk;
    return RESULT_SUCCESS;
}

}  // namespace sondrix
