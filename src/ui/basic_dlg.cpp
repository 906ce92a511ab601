#include "ui/basic_dlg.h"

namespace sondrix {

CBasicDlg::CBasicDlg(CSondrixDlg& main) : CPageBase(main, "auth", "Authentication&User") {}

}  // namespace sondrix
