#pragma once

namespace sondrix {

class CMessageLoop;
class CPortMap;
class CSimDeskPorts;
class ISerialDeviceFactory;

// Makes the process ready for its windows: per-monitor DPI awareness where
// the manifest did not already ask for it, and the common controls of
// visual styles. Returns the screen's DPI over 96.
double PrepareWindows();

// Builds the program core with the Win32 UI host, shows the main window and
// runs the system's message loop (which also drives `loop`) until the
// window closes. `ports` names the devices behind COM1..COM8 in the port
// box's tooltip; with `simulated` (the ports of --simulate) the window gets
// the panel that plays the simulated module. `resetSettings` forgets what
// earlier runs kept under HKCU\Software\Sondrix. Returns the exit status.
int RunWin32Window(CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
                   CSimDeskPorts* simulated, bool resetSettings);

}  // namespace sondrix
