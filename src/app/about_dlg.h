#pragma once

#include <cstdint>
#include <string>

#include "ui/page_base.h"

namespace sondrix {

// The About tab (template 100): the program's picture and version line, and
// the Packet Creator that sends a hand-made packet.
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

    // The six edit texts and their parsed values, in the same order.
    std::string commandText;
    std::string param1Text;
    std::string param2Text;
    std::string dataSizeText;
    std::string errorCodeText;
    std::string dataText;
    uint32_t command = 0;
    uint32_t param1 = 0;
    uint32_t param2 = 0;
    uint32_t dataSize = 0;
    uint32_t errorCode = 0;
    uint32_t data = 0;
};

}  // namespace sondrix
