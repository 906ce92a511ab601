#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sondrix {

class CMessageLoop;
class CPortMap;
class CSimDeskPorts;
class ISerialDeviceFactory;
struct SAppOptions;
struct SSimConfig;

// Reads the sondrix command line (without the program's name); false with
// the message on a bad option, or on the simulated module's options without
// --simulate (they would be ignored). With `others`, arguments that are not
// the program's own are collected there.
bool ParseDeskOptions(std::vector<std::string> args, SSimConfig& simConfig, SAppOptions& options,
                      std::string& error, std::vector<std::string>* others = nullptr);

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
