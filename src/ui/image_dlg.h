#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CImageDlg : public CPageBase {
  public:
    // Timer 1: the connection time-out.
    static constexpr uint32_t kConnectTimer = 1;
    explicit CImageDlg(CSondrixDlg& main);
};

}  // namespace sondrix
