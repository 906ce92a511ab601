#include "cli/cli_run.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "app/trace_file.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/cli_secrets.h"
#include "cli/cli_session.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "platform/terminal.h"
#include "platform/version.h"
#include "sim/pty_simulator.h"

namespace sondrix {

namespace {

// Picks the port the command line names: "COMn", "COMn=PATH", "auto", or a
// device path (which COM1 then stands for).
std::string ChoosePort(const SCliOptions& options, CPortMap& ports) {
    if (options.port.empty()) {
        return "COM1";
    }
    if (CPortMap::PortNumber(options.port) != 0) {
        return options.port;
    }
    // "auto" is the first USB serial adapter plugged in.
    const std::string mapping = options.port == CPortMap::kAutoPath
                                    ? std::string("COM1=") + CPortMap::kAutoPath
                                    : options.port;
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
    ports.Assign(1, options.port);
    return "COM1";
}

int Fail(const SCliFailure& failure, const SCliOptions& options, std::ostream& out,
         std::ostream& err) {
    err << "sondrix-cli: " << failure.message << std::endl;
    if (options.json) {
        CCliReport::PrintError(out, options.command, failure.status, failure.message);
    }
    return failure.status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    SCliOptions options;
    std::string error;
    // Asked for JSON, a script gets its error object whatever else is wrong.
    options.json = std::find(args.begin(), args.end(), "--json") != args.end();
    if (!ParseCliOptions(args, options, error)) {
        return Fail({kCliUsage, error}, options, out, err);
    }
    if (options.help) {
        out << CliHelp();
        return kCliOk;
    }
    if (options.version) {
        out << VersionLine("sondrix-cli") << std::endl;
        return kCliOk;
    }
    CPortMap ports;
    std::unique_ptr<CPtySimulator> simulator;
    std::unique_ptr<CTraceRecorder> trace;
    int status = kCliOk;
    CCliReport report;
    try {
        CheckCliCommand(options);
        TakeSecrets(options);
        if (options.simulate && !options.port.empty()) {
            throw SCliFailure{kCliUsage, "--simulate and --port cannot go together"};
        }
        const std::string portName = ChoosePort(options, ports);
        if (options.simulate) {
            simulator = std::make_unique<CPtySimulator>(options.simConfig);
            if (!simulator->Start(error)) {
                throw SCliFailure{kCliPortError, "cannot start the simulated module: " + error};
            }
            ports.Assign(1, simulator->SlavePath());
        }
        if (!options.trace.empty()) {
            trace = std::make_unique<CTraceRecorder>(portName + " " + ports.DevicePath(portName));
            if (!trace->Open(options.trace, error)) {
                throw SCliFailure{kCliFileError, error};
            }
        }
        CMessageLoop loop(CMessageLoop::EClock::Real);
        CCliSession session(loop, ports, err, !options.quiet, errIsTerminal, options.timeoutMs);
        session.Dlg().imageDlg.codecDiagnostics = options.quiet ? nullptr : stderr;
        if (trace) {
            session.SetTraceSink([&](const STracedPacket& packet) { trace->Write(packet); });
        }
        session.SetMasterCredential(options.masterId, options.masterPassword, StdinIsTerminal());
        session.Connect(portName, options.baud);
        RunCliCommand(session, options, report);
    } catch (const SCliFailure& failure) {
        status = Fail(failure, options, out, err);
    }
    if (trace && !trace->Close(error) && status == kCliOk) {
        status = Fail({kCliFileError, error}, options, out, err);
    }
    if (status == kCliOk) {
        report.Print(out, options.json, options.command);
    }
    return status;
}

}  // namespace sondrix
