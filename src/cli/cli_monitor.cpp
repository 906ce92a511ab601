#include "cli/cli_monitor.h"

#include <memory>
#include <ostream>

#include "app/packet_summary.h"
#include "cli/cli_report.h"
#include "link/packet_parser.h"

namespace sondrix {

namespace {

constexpr uint32_t kAttachBaud = 115200;

}  // namespace

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

void RunMonitor(CCliSession& session, const SCliOptions& options, const std::string& portName,
                std::ostream& out, CCliTrace* trace) {
    session.SetPacketObserver([&](const STracedPacket& packet) {
        out << MonitorLine(packet, options.json) << std::endl;
    });
    if (options.attach) {
        session.Attach(portName, options.baud != 0 ? options.baud : kAttachBaud);
    } else {
        session.Connect(portName, options.baud);
    }
    session.Progress("monitoring " + portName + "; Ctrl-C ends");
    session.RunUntilInterrupted([trace] {
        if (trace != nullptr) {
            trace->WriteRaw();
        }
    });
}

}  // namespace sondrix
