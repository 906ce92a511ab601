#pragma once

#include <QString>
#include <memory>
#include <string>

class QAction;
class QApplication;
class QRect;

namespace sondrix {

class CImageDlg;
class CMainWindow;
class CMessageLoop;
class CPortMap;
class CSimPanel;
class CSimDeskPorts;
class ISerialDeviceFactory;

// The port box's tooltip: the device behind each of COM1..COM8.
QString PortMapToolTip(const CPortMap& ports, bool simulated);

// The panel of the simulated module in the window, and the View menu's
// entry that shows it.
struct SDeskPanel {
    CSimPanel* panel = nullptr;
    QAction* show = nullptr;
};

// Puts the port tooltip on the window and, with `simulated`, the panel of
// the simulated module with its entry in the View menu: docked beside the
// pages when the screen's free area `available` has room for both, else as
// a tab beside the packet tracer under the pages. Either way it is shown
// and covers nothing. Sizes the window for `available`.
SDeskPanel AddDesktopParts(CMainWindow& window, const CPortMap& ports, CSimDeskPorts* simulated,
                           const QRect& available);

// The Qt application of the window. Made before the program reads its own
// options, so that Qt takes its standard ones (-platform, -style, -geometry
// and the rest) out of argc and argv; names the application for its
// settings file and window titles.
class CQtApplication {
  public:
    // Null with `error` set when there is no display to show the window on.
    // A display that is named but cannot be reached ends the program with
    // the same advice and exit status 2.
    static std::unique_ptr<CQtApplication> Create(int& argc, char** argv, std::string& error);
    ~CQtApplication();
    CQtApplication(const CQtApplication&) = delete;
    CQtApplication& operator=(const CQtApplication&) = delete;

    // Builds the program core with a Qt UI host, shows the main window and
    // runs the Qt event loop (which also drives `loop`) until the window
    // closes. `ports` names the devices behind COM1..COM8 in the port box's
    // tooltip; with `simulated` (the ports of --simulate) the window gets
    // the panel that plays the simulated module. `resetSettings` forgets
    // what earlier runs stored. Returns the exit status.
    int Run(CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
            CSimDeskPorts* simulated, bool resetSettings);

  private:
    CQtApplication(int& argc, char** argv);

    std::unique_ptr<QApplication> m_app;
};

}  // namespace sondrix
