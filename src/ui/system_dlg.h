#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CSystemDlg : public CPageBase {
  public:
    explicit CSystemDlg(CSondrixDlg& main);
};

}  // namespace sondrix
