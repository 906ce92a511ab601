#pragma once

#include <string>

namespace sondrix {

class CCliReport;
class CPortMap;
struct SCliOptions;

// The port the command line names, as a port name `ports` can open:
// "COMn", "COMn=PATH", "auto" (the first USB serial adapter or CDC-ACM
// board), a device path or stable /dev/serial path, or a bare device name
// ("ttyUSB0"); the last three stand behind COM1. COM names beyond the map
// are a usage error. Throws SCliFailure.
std::string ChooseCliPort(const SCliOptions& options, CPortMap& ports);

// `sondrix-cli ports`: the serial devices present, one a row.
void ListPorts(const CPortMap& ports, CCliReport& report);

}  // namespace sondrix
