#include "qt/qt_front_end.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "qt/header_picture.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_ui_host.h"
#include "qt/sim_panel.h"
#include "sim/sim_desk_ports.h"

namespace sondrix {

QString PortMapToolTip(const CPortMap& ports, bool simulated) {
    QStringList lines;
    for (int number = 1; number <= CPortMap::kPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        const bool builtIn = simulated && name == CSimDeskPorts::kSimulatedPort;
        lines << QStringLiteral("%1: %2").arg(
            QString::fromStdString(name), builtIn ? QStringLiteral("the simulated module")
                                                  : QString::fromStdString(ports.DevicePath(name)));
    }
    return lines.join(QLatin1Char('\n'));
}

CSimPanel* AddDesktopParts(CMainWindow& window, const CPortMap& ports, CSimDeskPorts* simulated) {
    if (QWidget* portBox = window.PageView(CSondrixDlg::kTabMain)->Widget(CImageDlg::kPort)) {
        portBox->setToolTip(PortMapToolTip(ports, simulated != nullptr));
    }
    if (simulated == nullptr) {
        return nullptr;
    }
    auto* panel = new CSimPanel(*simulated, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    window.menuBar()->addAction(panel->toggleViewAction());
    // The window was sized before the panel came; make room for it, except
    // in the compact window of a small screen (no header), whose pages scroll.
    if (!window.Header()->isHidden()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            window.resize(window.sizeHint().boundedTo(screen->availableGeometry().size()));
        }
    }
    return panel;
}

int RunQtFrontEnd(int& argc, char** argv, CMessageLoop& loop, ISerialDeviceFactory& devices,
                  const CPortMap& ports, CSimDeskPorts* simulated) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sondrix.Sondrix"));
    // Declared in this order so that they go in reverse: the window before
    // the dialog it shows, the dialog (which stops the receive thread)
    // before the driver that its posts wake.
    CQtLoopDriver driver(loop);
    CQtUiHost host;
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    host.SetParentWidget(&window);
    AddDesktopParts(window, ports, simulated);
    window.show();
    return QApplication::exec();
}

}  // namespace sondrix
