#include "qt/qt_front_end.h"

#include <QApplication>

#include "app/sondrix_dlg.h"
#include "qt/main_window.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_ui_host.h"

namespace sondrix {

int RunQtFrontEnd(int& argc, char** argv, CMessageLoop& loop, ISerialDeviceFactory& devices) {
    QApplication app(argc, argv);
    // Declared in this order so that they go in reverse: the window before
    // the dialog it shows, the dialog (which stops the receive thread)
    // before the driver that its posts wake.
    CQtLoopDriver driver(loop);
    CQtUiHost host;
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    host.SetParentWidget(&window);
    window.show();
    return QApplication::exec();
}

}  // namespace sondrix
