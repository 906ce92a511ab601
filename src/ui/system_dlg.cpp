#include "ui/system_dlg.h"

namespace sondrix {

CSystemDlg::CSystemDlg(CSondrixDlg& main) : CPageBase(main, "configuration", "Configuration") {}

}  // namespace sondrix
