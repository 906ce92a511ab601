#pragma once

#include <cstdint>

namespace sondrix {

class CSondrixDlg;

// The steps of a firmware transfer shared by the Authentication&User page,
// which starts it, and the firmware answers, which carry it on.

// Sends chunk `index` of the page's chosen file with CMD_BACKUP_FIRMWARE_DATA
// when `backup` is set, else CMD_FIRMWARE_DATA. Once the last chunk is on its
// way the popup warns and can no longer be cancelled. A file that cannot be
// read any more ends the transfer with a message; false then.
bool SendFirmwareTransferChunk(CSondrixDlg& dlg, bool backup, uint32_t index);

// Ends a transfer, whether it completed, failed, or was cancelled or
// abandoned: closes the progress popup and clears transferBusy.
void EndFirmwareTransfer(CSondrixDlg& dlg);

}  // namespace sondrix
