#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/page_base.h"

namespace sondrix {

// The About tab (template 100): the program's picture and version line, and
// the Packet Creator that sends a hand-made packet. The same form is the
// modal About box of the window menu, where it sends nothing.
class CAboutDlg : public CPageBase {
  public:
    static constexpr int kPicture = 1158;  // the About bitmap is drawn here
    static constexpr int kCommand = 1150;
    static constexpr int kParam1 = 1151;
    static constexpr int kParam2 = 1152;
    static constexpr int kDataSize = 1153;  // disabled: computed from Data
    static constexpr int kErrorCode = 1154;
    static constexpr int kData = 1155;
    static constexpr int kSend = 1156;
    static constexpr int kHexNote = 5000;      // "Please input the HEXA values ..."
    static constexpr int kVersionLine = 5001;  // string 1017, painted beside the picture

    static constexpr size_t kHeaderFieldLimit = 8;  // the five header edits

    explicit CAboutDlg(CSondrixDlg& main);

    // Marks the form as the modal About box of the window menu for as long
    // as it lives. The box is not connected to the packet manager: Send does
    // nothing there.
    class CAboutBox {
      public:
        explicit CAboutBox(CAboutDlg& form) : m_form(form) { m_form.m_inAboutBox = true; }
        ~CAboutBox() { m_form.m_inAboutBox = false; }
        CAboutBox(const CAboutBox&) = delete;
        CAboutBox& operator=(const CAboutBox&) = delete;

      private:
        CAboutDlg& m_form;
    };

    // The payload of a Data text: each pair of hexadecimal digits is one
    // byte, in the order typed; an odd last digit is a byte of its own
    // ("ABC" gives AB 0C). False when the text holds something other than
    // hexadecimal digits or more bytes than a packet carries.
    static bool DataBytes(const std::string& text, std::vector<uint8_t>& bytes);

  protected:
    void OnCommand(int id) override;
    void OnEditChange(int id) override;

  private:
    void Send();

    bool m_inAboutBox = false;
};

}  // namespace sondrix
