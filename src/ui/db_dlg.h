#pragma once

#include "ui/page_base.h"

namespace sondrix {

class CDbDlg : public CPageBase {
  public:
    explicit CDbDlg(CSondrixDlg& main);
};

}  // namespace sondrix
