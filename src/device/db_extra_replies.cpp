// CDBManagement: the answers of custom data and the event log.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"

namespace sondrix {

void CDBManagement::OnReadCustomData(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnWriteCustomData(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnDeleteCustomData(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnGetLogData(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnDeleteLogData(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
