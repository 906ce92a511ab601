#include "app/about_dlg.h"

namespace sondrix {

CAboutDlg::CAboutDlg(CSondrixDlg& main) : CPageBase(main, "about", "About") {}

}  // namespace sondrix
