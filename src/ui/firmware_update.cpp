// The firmware buttons of the Authentication&User page.
#include "app/sondrix_dlg.h"
#include "ui/basic_dlg.h"

namespace sondrix {

void CBasicDlg::StartFirmwareUpdate(bool /*backup*/) {}

}  // namespace sondrix
