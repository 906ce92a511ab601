#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/packet.h"

namespace sondrix {

class CSondrixDlg;

// A firmware transfer: the file is checked, then sent chunk by chunk, each
// one after the module took the one before, with the progress popup
// stepping; the last chunk cannot be cancelled any more. The
// Authentication&User page and the typed module interface start it; the
// firmware answers carry it on.
class CFirmwareTransfer {
  public:
    // Asked before a chunk goes out once the person closed the progress
    // popup: false ends the transfer there.
    using GoOn = std::function<bool()>;

    // param2 of a chunk carries the last chunk's index in 8 bits: 256 chunks at most.
    static constexpr uint64_t kMaxSize = uint64_t{4096} * 256;

    explicit CFirmwareTransfer(CSondrixDlg& dlg) : m_dlg(dlg) {}

    // Checks the file and sends its first chunk with CMD_BACKUP_FIRMWARE_DATA
    // when `backup` is set, else CMD_FIRMWARE_DATA. A file that cannot be
    // read, is empty or too large is refused (reported) before anything goes out.
    bool Start(std::string path, bool backup, GoOn goOn);
    // The module's answer to a chunk.
    void OnChunkAnswer(const CPacket& packet);

    std::string path;  // the file being sent
    bool backup = false;

  private:
    // Sends chunk `index`; a file that cannot be read any more ends the
    // transfer with a message; false then.
    bool SendChunk(uint32_t index);
    // Ends a transfer, whether it completed, failed, or was cancelled or
    // abandoned: closes the progress popup and clears transferBusy.
    void End();

    CSondrixDlg& m_dlg;
    GoOn m_goOn;
};

}  // namespace sondrix
