#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CUserDlg : public CPageBase {
  public:
    explicit CUserDlg(CSondrixDlg& main);
    // The packet tracer option chosen on this page (0 standard, 1 all, 2 off).
    int TracerMode() const { return m_tracerMode; }

  private:
    int m_tracerMode = 0;
};

}  // namespace sondrix
