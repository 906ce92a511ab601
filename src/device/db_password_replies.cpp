// CDBManagement: the answers of the master password commands.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"

namespace sondrix {

void CDBManagement::OnSetMasterPassword(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnDeleteMasterPassword(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
