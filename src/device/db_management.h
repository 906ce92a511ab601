#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/command_handler.h"

namespace sondrix {

// The answers of the user-database command group (0x22..0x38): paged user
// and master lists, row-by-row deletion and authority changes, record
// download into files and record upload, and the other database answers.
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

    // State of the paged lists.
    size_t listEntries = 0;           // entries received so far in the current list
    std::vector<uint8_t> pageBuffer;  // the entries of the current list

  protected:
    bool Route(CPacket& packet) override;

  private:
    // Result 1 is true; result 2 shows `failedText` and 13 "Canceled!!!" (stop
    // icon and message line); any other result goes to the common report.
    bool Accepted(const CPacket& packet, int failedText);
    // Adds one page of a user or master list to the page buffer and asks for
    // the next page; true when the list is complete.
    bool CollectPage(const CPacket& packet, int failedText);
    void DropList();
    void OnUserListComplete();
    void OnMasterListComplete();
    void OnUserCount(const CPacket& packet);
    void ShowUserCount(uint32_t count);

    bool m_listActive = false;
    bool m_listTruncated = false;
};

}  // namespace sondrix
