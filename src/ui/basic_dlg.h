#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CBasicDlg : public CPageBase {
  public:
    explicit CBasicDlg(CSondrixDlg& main);
};

}  // namespace sondrix
