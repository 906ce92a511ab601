#include "ui/image_dlg.h"

namespace sondrix {

CImageDlg::CImageDlg(CSondrixDlg& main) : CPageBase(main, "main", "Main") {}

}  // namespace sondrix
