#pragma once

#include <cstddef>
#include <string>

#include "device/command_handler.h"
#include "platform/ui_host.h"

namespace sondrix {

// The answers of the matching group: verification, identification, instant
// matching against host templates, reading a template, cancel, Auto-On and
// the identification results the module sends by itself while Auto-On runs.
class CMatching : public CCommandHandler {
  public:
    using CCommandHandler::CCommandHandler;

    void OnVerify(CPacket& packet);
    void OnIdentify(CPacket& packet);
    void OnInstantMatch(CPacket& packet);
    void OnGetTemplate(CPacket& packet);
    void OnCancel(CPacket& packet);
    void OnInstantVerify(CPacket& packet);
    void OnInstantIdentify(CPacket& packet);
    void OnAutoOn(CPacket& packet);
    void OnAutoIdentifyResult(CPacket& packet);

  protected:
    bool Route(CPacket& packet) override;

  private:
    // Where a user ID and its index lie in an identification answer.
    struct SIdLayout {
        size_t idBytes;  // the ID's bytes at the start of the data (a zero ends it early)
        size_t indexAt;  // the index byte
    };
    SIdLayout IdentifyLayout() const;
    SIdLayout InstantIdentifyLayout() const;
    // The extended layout's ID field: the ID and its terminating zero.
    SIdLayout FieldLayout() const;
    // A user found: `textId` followed by " (ID : %s, Index : %d)" read from
    // the data, as an outcome and in a box; false (with the report) when the
    // answer is too short to hold them.
    bool Found(const CPacket& packet, SIdLayout layout, int textId);
    // Offers the save dialog and writes the template the answer carries.
    void SaveTemplate(const CPacket& packet);
};

// Shows a string-table text on the message line and in a box with `icon`.
void ReportString(CSondrixDlg& dlg, int textId, EIcon icon);
// Stores why the next image-quality answer arrives, then asks for it.
void RequestQualityCheck(CSondrixDlg& dlg, int reason);
// Series 1 to 3 and both emulation modes: the older protocol with its
// 11-byte ID fields and lists.
bool LegacyLayout(const CSondrixDlg& dlg);

}  // namespace sondrix
