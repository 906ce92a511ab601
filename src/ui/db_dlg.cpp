#include "ui/db_dlg.h"

namespace sondrix {

CDbDlg::CDbDlg(CSondrixDlg& main) : CPageBase(main, "database", "DataBase") {}

}  // namespace sondrix
