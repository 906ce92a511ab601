#include "cli/cli_run.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_monitor.h"
#include "cli/cli_options.h"
#include "cli/cli_ports.h"
#include "cli/cli_report.h"
#include "cli/cli_secrets.h"
#include "cli/cli_session.h"
#include "cli/cli_trace.h"
#include "cli/cli_wireshark.h"
#include "platform/interrupt_watch.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "platform/terminal.h"
#include "platform/version.h"
#include "sim/pty_simulator.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_module.h"

namespace sondrix {

namespace {

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
    if (options.installWiresharkPlugin) {
        std::string path;
        std::string globalCopy;
        if (!InstallWiresharkPlugin(path, globalCopy, error)) {
            return Fail({kCliFileError, error}, options, out, err);
        }
        out << "Wireshark dissector installed: " << path << std::endl;
        if (!globalCopy.empty()) {
            out << "A global copy is installed too (" << globalCopy
                << "); Wireshark loads the dissector once, from the global copy." << std::endl;
        }
        return kCliOk;
    }
    // Ctrl-C and SIGTERM end the work through the normal path: the wait under
    // way fails, the session closes the port, the trace is completed. A second
    // request, when that shutdown hangs, ends the program at once.
    std::atomic<int> interrupt{0};
    const CInterruptWatch watch([&interrupt](int signal) {
        if (interrupt.exchange(signal) != 0) {
            std::_Exit(kCliSignalBase + signal);
        }
    });
    CPortMap ports;
    CMessageLoop loop(CMessageLoop::EClock::Real);
    // The simulated module answers on a pseudo-terminal, through the same
    // serial code as a module on a bench; without pseudo-terminals it sits
    // inside the process behind COM1, on the session's loop.
    std::unique_ptr<CPtySimulator> simulator;
    std::unique_ptr<CSimModule> module;
    std::unique_ptr<CSimDeskPorts> simulatedPorts;
    std::unique_ptr<CCliTrace> trace;
    int status = kCliOk;
    CCliReport report;
    try {
        CheckCliCommand(options);
        TakeSecrets(options);
        if (options.simulate && !options.port.empty()) {
            throw SCliFailure{kCliUsage, "--simulate and --port cannot go together"};
        }
        if (options.command == "ports") {
            ListPorts(ports, report);
            report.Print(out, options.json, options.command);
            return kCliOk;
        }
        const std::string portName = ChooseCliPort(options, ports);
        if (options.simulate && CPtySimulator::Available()) {
            simulator = std::make_unique<CPtySimulator>(options.simConfig);
            if (!simulator->Start(error)) {
                throw SCliFailure{kCliPortError, "cannot start the simulated module: " + error};
            }
            ports.Assign(1, simulator->SlavePath());
        } else if (options.simulate) {
            module = std::make_unique<CSimModule>(options.simConfig);
            simulatedPorts = std::make_unique<CSimDeskPorts>(loop, *module, ports);
        }
        if (!options.trace.empty()) {
            const std::string device =
                simulatedPorts ? "simulated module" : ports.DevicePath(portName);
            trace = std::make_unique<CCliTrace>(portName + " " + device, options.traceRaw);
            if (!trace->Open(options.trace, error)) {
                throw SCliFailure{kCliFileError, error};
            }
        }
        ISerialDeviceFactory& devices =
            simulatedPorts ? static_cast<ISerialDeviceFactory&>(*simulatedPorts) : ports;
        CCliSession session(loop, devices, err, !options.quiet, errIsTerminal, options.timeoutMs);
        session.SetInterrupt(&interrupt);
        session.Dlg().imageDlg.codecDiagnostics = options.quiet ? nullptr : stderr;
        if (trace) {
            trace->Attach(session);
        }
        session.SetMasterCredential(options.masterId, options.masterPassword, StdinIsTerminal());
        if (options.command == "monitor") {
            RunMonitor(session, options, portName, out, trace.get());
        }
        session.Connect(portName, options.baud);
        RunCliCommand(session, options, report);
    } catch (const SCliFailure& failure) {
        status = Fail(failure, options, out, err);
    }
    if (trace && !trace->Close(error)) {
        // A run that failed otherwise keeps its status, and still says so.
        if (status == kCliOk) {
            status = Fail({kCliFileError, error}, options, out, err);
        } else {
            err << "sondrix-cli: " << error << std::endl;
        }
    }
    if (status == kCliOk) {
        report.Print(out, options.json, options.command);
    }
    return status;
}

}  // namespace sondrix
