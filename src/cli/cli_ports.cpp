#include "cli/cli_ports.h"

#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/cli_status.h"
#include "platform/port_map.h"
#include "platform/serial_discovery.h"

namespace sondrix {

std::string ChooseCliPort(const SCliOptions& options, CPortMap& ports) {
    std::string error;
    bool noAdapter = false;
    const std::string name = ports.Choose(options.port, error, noAdapter);
    if (name.empty()) {
        throw SCliFailure{noAdapter ? kCliPortError : kCliUsage, "--port " + error};
    }
    return name;
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
