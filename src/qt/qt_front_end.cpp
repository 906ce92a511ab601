#include "qt/qt_front_end.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <cstdio>

#include "app/port_watch.h"
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

namespace {

// The adapter chosen last is kept by its stable path, so that it is chosen
// again even when it comes back under another ttyUSB number.
constexpr const char* kByIdKey = "port/byId";

QSettings PortSettings() {
    // The window's own settings file, ~/.config/sondrix/sondrix.conf.
    if (QCoreApplication::organizationName().isEmpty()) {
        QCoreApplication::setOrganizationName(QStringLiteral("sondrix"));
        QCoreApplication::setApplicationName(QStringLiteral("sondrix"));
    }
    return QSettings();
}

}  // namespace

void RestorePortChoice(CImageDlg& page) {
    page.SelectByIdPath(PortSettings().value(kByIdKey).toString().toStdString());
}

void StorePortChoice(const CImageDlg& page) {
    QSettings settings = PortSettings();
    const std::string byId = page.SelectedByIdPath();
    if (byId.empty()) {
        settings.remove(kByIdKey);
    } else {
        settings.setValue(kByIdKey, QString::fromStdString(byId));
    }
}

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
    // The notes go into the page, which adds the chosen device's details.
    if (auto* page =
            dynamic_cast<CImageDlg*>(&window.PageView(CSondrixDlg::kTabMain)->Binder().Model())) {
        page->SetPortNotes(PortMapToolTip(ports, simulated != nullptr).toStdString());
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
    CPortWatch watch(dialog, ports);
    std::string error;
    if (!watch.Start(error)) {
        std::fprintf(stderr, "sondrix: %s; the port list will not follow plugging\n",
                     error.c_str());
    }
    RestorePortChoice(dialog.imageDlg);
    window.show();
    const int status = QApplication::exec();
    StorePortChoice(dialog.imageDlg);
    return status;
}

}  // namespace sondrix
