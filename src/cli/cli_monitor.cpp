#include "cli/cli_monitor.h"

#include <memory>

#include "app/packet_summary.h"
#include "cli/cli_report.h"
#include "link/packet_parser.h"

namespace sondrix {

std::string MonitorLine(const STracedPacket& packet, bool json) {
    // Only whole packets are traced, so the parser always finds one.
    const auto parser = std::make_unique<CPacketParser>();
    size_t used = 0;
    parser->Feed(packet.bytes.data(), packet.bytes.size(), used);
    const std::string time = CPacketTracer::TimeText(packet.timeUs);
    const std::string summary = PacketSummary(parser->rxPacket, packet.direction);
    if (!json) {
        return time + "  " + summary;
    }
    return "{\"time\": " + JsonString(time) + ", \"direction\": \"" +
           (packet.direction == 0 ? "sent" : "received") +
           "\", \"command\": " + JsonString(CommandName(parser->rxPacket.command)) +
           ", \"summary\": " + JsonString(summary) + "}";
}

void RunMonitor(CModule& module, const SCliOptions& options, const std::string& portName,
                CCliTrace* trace) {
    if (options.attach) {
        module.Attach(portName, options.baud != 0 ? options.baud : kAttachBaud);
    } else {
        module.Connect(portName, options.baud);
    }
    module.Listen([trace] {
        if (trace != nullptr) {
            trace->WriteRaw();
        }
    });
}

}  // namespace sondrix
