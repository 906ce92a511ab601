// Open and Save of the Main tab.
#include "app/sondrix_dlg.h"
#include "ui/image_dlg.h"

namespace sondrix {

void CImageDlg::OpenImageFile() {}

void CImageDlg::SaveImageFile() {}

}  // namespace sondrix
