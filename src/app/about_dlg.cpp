#include "app/about_dlg.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "app/sondrix_dlg.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

constexpr int kHeaderEdits[] = {CAboutDlg::kCommand, CAboutDlg::kParam1, CAboutDlg::kParam2,
                                CAboutDlg::kErrorCode};

bool IsHex(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// A header field of at most eight hexadecimal digits; empty is 0.
uint32_t HexValue(const std::string& text) {
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

}  // namespace

CAboutDlg::CAboutDlg(CSondrixDlg& main) : CPageBase(main, "about", "About") {
    AddControl(kPicture, EControlKind::Picture);
    AddStatic(kVersionLine, {}, {}, LoadString(IDS_VERSION_LINE));

    const std::string creator = LoadString(IDS_ABOUT_GROUP_CREATOR);
    AddEdit(kCommand, LoadString(IDS_ABOUT_COMMAND), creator, kHeaderFieldLimit);
    AddEdit(kParam1, LoadString(IDS_ABOUT_PARAM1), creator, kHeaderFieldLimit);
    AddEdit(kParam2, LoadString(IDS_ABOUT_PARAM2), creator, kHeaderFieldLimit);
    // The person never types the data size; Data's edit handler writes it.
    AddEdit(kDataSize, LoadString(IDS_ABOUT_DATA_SIZE), creator, kHeaderFieldLimit).enabled = false;
    AddEdit(kErrorCode, LoadString(IDS_ABOUT_ERROR_CODE), creator, kHeaderFieldLimit);
    AddEdit(kData, LoadString(IDS_ABOUT_DATA), creator);
    AddButton(kSend, LoadString(IDS_ABOUT_SEND), creator);
    AddStatic(kHexNote, {}, creator, LoadString(IDS_ABOUT_HEX_NOTE));
}

bool CAboutDlg::DataBytes(const std::string& text, std::vector<uint8_t>& bytes) {
    if (!IsHex(text) || (text.size() + 1) / 2 > CPacket::kMaxData) {
        return false;
    }
    bytes.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    }
    return true;
}

void CAboutDlg::OnCommand(int id) {
    if (id == kSend) {
        Send();
    } else if (id == kPicture) {
        Main().OpenMakerPage();
    }
}

void CAboutDlg::OnEditChange(int id) {
    if (id != kData &&
        std::find(std::begin(kHeaderEdits), std::end(kHeaderEdits), id) == std::end(kHeaderEdits)) {
        return;
    }
    // Every character is checked, not only the one typed last, so that a
    // pasted text cannot bring anything but hexadecimal digits in.
    if (!IsHex(Text(id))) {
        char text[96];
        std::snprintf(text, sizeof text, LoadString(IDS_RANGE_HEX).c_str(), 0, 15);
        Main().Ui().MessageBox(text);
        SetText(id, {});
    }
    if (id == kData) {
        SetText(kDataSize, std::to_string(Text(kData).size()));
    }
}

void CAboutDlg::Send() {
    if (m_inAboutBox) {
        return;  // the About box is not connected to the packet manager
    }
    CSondrixDlg& main = Main();
    if (main.portOpen == 0) {
        // Nothing would leave the closed port, so no answer may be waited
        // for: the first CONNECT's answer would be taken for it. The form
        // keeps what was typed.
        main.ShowMessage(LoadString(IDS_GUARD_CONNECTION));
        return;
    }
    std::vector<uint8_t> payload;
    if (!DataBytes(Text(kData), payload)) {
        main.Ui().MessageBox(LoadString(IDS_TOO_LONG_DATA), EIcon::Stop);
        return;
    }
    CPacketManagerWnd& manager = main.PacketManager();
    CPacket& packet = manager.txPacket;
    packet.command = HexValue(Text(kCommand));
    packet.param1 = HexValue(Text(kParam1));
    packet.param2 = HexValue(Text(kParam2));
    packet.errorCode = HexValue(Text(kErrorCode));  // as typed: a fault can be sent on purpose
    packet.dataSize = static_cast<uint32_t>(payload.size());
    std::copy(payload.begin(), payload.end(), packet.data);
    // The answer is only traced: no page is waiting for it.
    main.pendingRawResponse = 1;
    for (int id : {kCommand, kParam1, kParam2, kDataSize, kErrorCode, kData}) {
        SetText(id, {});
    }
    manager.SendTxPacket();
}

}  // namespace sondrix
