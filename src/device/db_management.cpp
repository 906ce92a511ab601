#include "device/db_management.h"

#include <array>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"

namespace sondrix {

namespace {

using SRouteOf = CCommandHandler::SRoute<CDBManagement>;

}  // namespace

bool CDBManagement::Route(CPacket& packet) {
    static constexpr std::array kRoutes = {
        SRouteOf{CMD_DELETE_USER, &CDBManagement::OnDeleteUser},
        SRouteOf{CMD_DELETE_ALL, &CDBManagement::OnDeleteAll},
        SRouteOf{CMD_SET_MASTER_AUTHORITY, &CDBManagement::OnSetMasterAuthority},
        SRouteOf{CMD_LEAVE_MASTER_MODE, &CDBManagement::OnLeaveMasterMode},
        SRouteOf{CMD_SET_MASTER_PASSWORD, &CDBManagement::OnSetMasterPassword},
        SRouteOf{CMD_READ_CUSTOM_DATA, &CDBManagement::OnReadCustomData},
        SRouteOf{CMD_WRITE_CUSTOM_DATA, &CDBManagement::OnWriteCustomData},
        SRouteOf{CMD_DELETE_CUSTOM_DATA, &CDBManagement::OnDeleteCustomData},
        SRouteOf{CMD_DELETE_MASTER_PASSWORD, &CDBManagement::OnDeleteMasterPassword},
        SRouteOf{CMD_ENTER_MASTER_MODE, &CDBManagement::OnEnterMasterMode},
        SRouteOf{CMD_GET_USER_LIST, &CDBManagement::OnGetUserList},
        SRouteOf{CMD_GET_MASTER_LIST, &CDBManagement::OnGetMasterList},
        SRouteOf{CMD_GET_LOG_DATA, &CDBManagement::OnGetLogData},
        SRouteOf{CMD_REGISTER, &CDBManagement::OnRegister},
        SRouteOf{CMD_MODIFY_USER, &CDBManagement::OnModifyUser},
        SRouteOf{CMD_UPLOAD_RECORD, &CDBManagement::OnUploadRecord},
        SRouteOf{CMD_DOWNLOAD_RECORD, &CDBManagement::OnDownloadRecord},
        SRouteOf{CMD_DELETE_LOG_DATA, &CDBManagement::OnDeleteLogData},
        SRouteOf{CMD_REGISTER_STEP, &CDBManagement::OnRegisterStep},
    };
    return Dispatch<CDBManagement>(*this, kRoutes, packet);
}

void CDBManagement::OnDeleteUser(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnDeleteAll(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnSetMasterAuthority(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnGetUserList(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnGetMasterList(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnUploadRecord(CPacket& packet) {
    Succeeded(packet);
}

void CDBManagement::OnDownloadRecord(CPacket& packet) {
    Succeeded(packet);
}

}  // namespace sondrix
