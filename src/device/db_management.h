#pragma once

#include "device/command_handler.h"

namespace sondrix {

class CDBManagement : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnDeleteUser(CPacket& packet);
    void OnDeleteAll(CPacket& packet);
    void OnSetMasterAuthority(CPacket& packet);
    void OnLeaveMasterMode(CPacket& packet);
    void OnSetMasterPassword(CPacket& packet);
    void OnReadCustomData(CPacket& packet);
    void OnWriteCustomData(CPacket& packet);
    void OnDeleteCustomData(CPacket& packet);
    void OnDeleteMasterPassword(CPacket& packet);
    void OnEnterMasterMode(CPacket& packet);
    void OnGetUserList(CPacket& packet);
    void OnGetMasterList(CPacket& packet);
    void OnGetLogData(CPacket& packet);
    void OnRegister(CPacket& packet);
    void OnModifyUser(CPacket& packet);
    void OnUploadRecord(CPacket& packet);
    void OnDownloadRecord(CPacket& packet);
    void OnDeleteLogData(CPacket& packet);
    void OnRegisterStep(CPacket& packet);

  protected:
    bool Route(CPacket& packet) override;
};

}  // namespace sondrix
