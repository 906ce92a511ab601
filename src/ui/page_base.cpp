#include "ui/page_base.h"

#include "app/sondrix_dlg.h"

namespace sondrix {

CPageBase::CPageBase(CSondrixDlg& main, std::string name, std::string caption)
    : CDialogModel(std::move(name), std::move(caption)), CWindow(main.Loop()), m_main(main) {}

}  // namespace sondrix
