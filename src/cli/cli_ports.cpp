#include "cli/cli_ports.h"

#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/cli_status.h"
#include "platform/port_map.h"
#include "platform/serial_discovery.h"

namespace sondrix {

std::string ChooseCliPort(const SCliOptions& options, CPortMap& ports) {
    const std::string port = CPortMap::ComName(options.port);
    if (port.empty()) {
        return "COM1";
    }
    if (CPortMap::PortNumber(port) != 0) {
        return port;
    }
    if (CPortMap::IsComName(port)) {
        if (ports.DevicePath(port).empty()) {
            throw SCliFailure{
                kCliUsage,
                "--port " + port + " is not a port here; the COM names are " + ports.MappedNames()};
        }
        // A port of the system beyond COM8 (Windows: COM12) keeps its own
        // name in messages, JSON and the trace.
        return port;
    }
    // "auto" is the first USB serial adapter plugged in.
    const std::string mapping =
        port == CPortMap::kAutoPath ? std::string("COM1=") + CPortMap::kAutoPath : port;
    const size_t equals = mapping.find('=');
    if (equals != std::string::npos) {
        std::string error;
        if (!ports.Assign(mapping, error)) {
            throw SCliFailure{
                mapping.substr(equals + 1) == CPortMap::kAutoPath ? kCliPortError : kCliUsage,
                "--port " + error};
        }
        return mapping.substr(0, equals);
    }
    ports.Assign(1, ports.DevicePath(port));
    return "COM1";
}

void ListPorts(const CPortMap& ports, CCliReport& report) {
    report.SetRowsName("ports");
    for (const SSerialPortInfo& port : DiscoverSerialPorts()) {
        report.AddRow({{"node", port.node},
                       {"by_id", port.byId},
                       {"driver", port.driver},
                       {"vid", port.vendorId != 0 ? UsbIdText(port.vendorId) : ""},
                       {"pid", port.vendorId != 0 ? UsbIdText(port.productId) : ""},
                       {"manufacturer", port.manufacturer},
                       {"product", port.product},
                       {"serial", port.serial},
                       {"com", ports.MappedName(port)}});
    }
}

}  // namespace sondrix
