#pragma once

#include <functional>

namespace sondrix {

class CMessageLoop;
class CPortMap;
class CSimDeskPorts;
class ISerialDeviceFactory;
struct SAppOptions;
struct SSimConfig;

// A window of the sondrix program (Qt, Win32): shows the program core with
// its devices until the person closes it; `simulated` is the module of
// --simulate, if any. Returns the exit status.
using DeskWindow =
    std::function<int(CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
                      CSimDeskPorts* simulated, bool resetSettings)>;

// The sondrix program once its options are read, the same for every
// window: --help (with the window's own options), --version, the port map,
// the simulated module of --simulate, and then the window or, without one
// (--headless), the script. Returns the exit status.
int RunDeskProgram(const SAppOptions& options, const SSimConfig& simConfig,
                   const DeskWindow& window, const char* windowOptionsHelp);

}  // namespace sondrix
