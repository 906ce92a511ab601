// CDBManagement: the answers of master mode, registration and modification.
#include "app/sondrix_dlg.h"
#include "device/db_management.h"

namespace sondrix {

void CDBManagement::OnEnterMasterMode(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnLeaveMasterMode(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnRegister(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnRegisterStep(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnModifyUser(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
