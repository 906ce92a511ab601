#pragma once

#include <QString>

namespace sondrix {

class CImageDlg;
class CMainWindow;
class CMessageLoop;
class CPortMap;
class CSimPanel;
class CSimDeskPorts;
class ISerialDeviceFactory;

// Builds the program core with a Qt UI host, shows the main window and runs
// the Qt event loop (which also drives `loop`) until the window closes.
// `ports` names the devices behind COM1..COM8 in the port box's tooltip;
// with `simulated` (the ports of --simulate) the window gets the panel that
// plays the simulated module. Returns the exit status.
// The port box's tooltip: the device behind each of COM1..COM8.
QString PortMapToolTip(const CPortMap& ports, bool simulated);

// Puts the port tooltip on the window and, with `simulated`, docks the panel
// of the simulated module beside it (with a menu entry to show it again
// once closed). Returns the panel, if any.
CSimPanel* AddDesktopParts(CMainWindow& window, const CPortMap& ports, CSimDeskPorts* simulated);

// The adapter chosen last (QSettings "port/byId" of sondrix/sondrix): chosen
// again at start when it is present; stored as the program ends.
void RestorePortChoice(CImageDlg& page);
void StorePortChoice(const CImageDlg& page);

int RunQtFrontEnd(int& argc, char** argv, CMessageLoop& loop, ISerialDeviceFactory& devices,
                  const CPortMap& ports, CSimDeskPorts* simulated = nullptr);

}  // namespace sondrix
