#include "qt/qt_front_end.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <cstdio>

#include "app/port_watch.h"
#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "qt/desk_settings.h"
#include "qt/main_window.h"
#include "qt/page_view.h"
#include "qt/qt_loop_driver.h"
#include "qt/qt_ui_host.h"
#include "qt/sim_panel.h"
#include "sim/sim_desk_ports.h"

namespace sondrix {

namespace {

QRect AvailableArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1366, 738);
}

}  // namespace

QString PortMapToolTip(const CPortMap& ports, bool simulated) {
    return QString::fromStdString(ports.Notes(simulated ? CSimDeskPorts::kSimulatedPort : ""));
}

CSimPanel* AddDesktopParts(CMainWindow& window, const CPortMap& ports, CSimDeskPorts* simulated,
                           const QRect& available) {
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
    QAction* toggle = panel->toggleViewAction();
    toggle->setText(QStringLiteral("&Simulated module"));
    QMenu* view = window.ViewMenu();
    view->insertAction(view->actions().value(0), toggle);

    // The window was sized before the panel came: with the panel docked it
    // asks for more width than a small screen has.
    const QMargins frame = CMainWindow::FrameAllowance();
    const bool roomForBoth =
        window.sizeHint().width() + frame.left() + frame.right() <= available.width();
    if (roomForBoth) {
        window.FitToScreen(available);
        return panel;
    }
    panel->hide();
    // Shown again on such a screen, it floats at the right edge of the
    // screen, over the window, and leaves the pages their width.
    QObject::connect(toggle, &QAction::triggered, panel, [panel, available](bool shown) {
        if (shown && !panel->isFloating()) {
            panel->setFloating(true);
            const QSize size = panel->sizeHint().boundedTo(available.size());
            panel->setGeometry(
                QRect(QPoint(available.right() - size.width() + 1, available.top()), size));
        }
    });
    window.FitToScreen(available);
    return panel;
}

CQtApplication::CQtApplication(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv)) {
    // The settings file is ~/.config/sondrix/sondrix.conf; popups without a
    // caption of their own carry the display name.
    QCoreApplication::setOrganizationName(QStringLiteral("sondrix"));
    QCoreApplication::setApplicationName(QStringLiteral("sondrix"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Sondrix"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sondrix.Sondrix"));
}

CQtApplication::~CQtApplication() = default;

int CQtApplication::Run(CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
                        CSimDeskPorts* simulated, bool resetSettings) {
    CDeskSettings settings(resetSettings);
    // Declared in this order so that they go in reverse: the window before
    // the dialog it shows, the dialog (which stops the receive thread)
    // before the driver that its posts wake.
    CQtLoopDriver driver(loop);
    CQtUiHost host;
    host.SetSettings(&settings);
    CSondrixDlg dialog(loop, devices, host);
    dialog.OnInitDialog();
    CMainWindow window(dialog);
    host.SetParentWidget(&window);
    AddDesktopParts(window, ports, simulated, AvailableArea());
    CPortWatch watch(dialog, ports);
    std::string error;
    if (!watch.Start(error)) {
        std::fprintf(stderr, "sondrix: %s; the port list will not follow plugging\n",
                     error.c_str());
    }
    settings.Restore(window, dialog);
    // Kept while the window and its floating panel are still shown.
    QObject::connect(&window, &CMainWindow::closing,
                     [&settings, &window, &dialog] { settings.Keep(window, dialog); });
    window.show();
    const int status = QApplication::exec();
    settings.Save();
    return status;
}

}  // namespace sondrix
