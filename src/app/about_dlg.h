#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CAboutDlg : public CPageBase {
  public:
    explicit CAboutDlg(CSondrixDlg& main);
};

}  // namespace sondrix
