#include "qt/qt_front_end.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

constexpr const char* kWithoutWindow =
    "run it in a desktop session, or without a window: sondrix --headless --script FILE "
    "(see --help)";

// Whether the command line or the environment names Qt's platform plugin;
// without one Qt takes the desktop's, which needs its display.
bool PlatformNamed(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            return true;
        }
    }
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QtMessageHandler g_previousHandler = nullptr;

// Qt ends the program with a fatal message (and an abort) when no platform
// plugin starts, as when the display cannot be reached: say what to do
// instead, and end as a usage error does.
void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (g_previousHandler != nullptr) {
            g_previousHandler(type, context, message);
        }
        return;
    }
    std::fprintf(stderr, "sondrix: the window cannot be shown: no display could be opened; %s\n",
                 kWithoutWindow);
    std::fflush(stderr);
    std::_Exit(2);
}

}  // namespace

QString PortMapToolTip(const CPortMap& ports, bool simulated) {
    return QString::fromStdString(ports.Notes(simulated ? CSimDeskPorts::kSimulatedPort : ""));
}

SDeskPanel AddDesktopParts(CMainWindow& window, const CPortMap& ports, CSimDeskPorts* simulated,
                           const QRect& available) {
    // The notes go into the page, which adds the chosen device's details.
    if (auto* page =
            dynamic_cast<CImageDlg*>(&window.PageView(CSondrixDlg::kTabMain)->Binder().Model())) {
        page->SetPortNotes(PortMapToolTip(ports, simulated != nullptr).toStdString());
    }
    if (simulated == nullptr) {
        return {};
    }
    const QString title = QStringLiteral("Simulated module");
    QMenu* view = window.ViewMenu();
    // Beside the pages where the screen has room for both, the pages
    // squeezed as far as they go without scrolling (a 1366-pixel screen
    // has); the person may move it to the other side or float it.
    auto* dock = new QDockWidget(title, &window);
    dock->setObjectName(QStringLiteral("simulatedModulePanel"));
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* column = new CSimPanel(*simulated, CSimPanel::EShape::Column);
    dock->setWidget(column);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    const QMargins frame = CMainWindow::FrameAllowance();
    if (window.WidthWithoutScrolling() + frame.left() + frame.right() <= available.width()) {
        QAction* toggle = dock->toggleViewAction();
        toggle->setText(QStringLiteral("&Simulated module"));
        view->insertAction(view->actions().value(0), toggle);
        window.FitToScreen(available);
        return {column, toggle};
    }
    // On a smaller screen nothing can float over the window without covering
    // controls: the panel, in three rows, shares the place under the pages
    // with the packet tracer as a tab of its own.
    window.removeDockWidget(dock);
    delete dock;
    auto* rows = new CSimPanel(*simulated, CSimPanel::EShape::Rows);
    QAction* show = window.AddBesideTracer(rows, title);
    show->setText(QStringLiteral("&Simulated module"));
    view->insertAction(view->actions().value(0), show);
    window.FitToScreen(available);
    return {rows, show};
}

std::unique_ptr<CQtApplication> CQtApplication::Create(int& argc, char** argv, std::string& error) {
    if (!PlatformNamed(argc, argv) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        error = std::string(
                    "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
                    "not set); ") +
                kWithoutWindow;
        return nullptr;
    }
    g_previousHandler = qInstallMessageHandler(NoDisplayHandler);
    std::unique_ptr<CQtApplication> application(new CQtApplication(argc, argv));
    qInstallMessageHandler(g_previousHandler);
    return application;
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
