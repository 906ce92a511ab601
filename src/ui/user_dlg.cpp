#include "ui/user_dlg.h"

namespace sondrix {

CUserDlg::CUserDlg(CSondrixDlg& main) : CPageBase(main, "extra", "Extra Functions") {}

}  // namespace sondrix
