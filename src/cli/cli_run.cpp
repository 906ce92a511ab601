#include "cli/cli_run.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "app/module.h"
#include "app/rate_memory.h"
#include "cli/cli_commands.h"
#include "cli/cli_monitor.h"
#include "cli/cli_options.h"
#include "cli/cli_ports.h"
#include "cli/cli_progress.h"
#include "cli/cli_report.h"
#include "cli/cli_secrets.h"
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

int Fail(int status, const std::string& message, const SCliOptions& options, std::ostream& out,
         std::ostream& err) {
    err << "sondrix-cli: " << message << std::endl;
    if (options.json) {
        CCliReport::PrintError(out, options.command, status, message);
    }
    return status;
}

// What the person at the module is to do, in the command line's words.
const char* PromptText(EQuestion question) {
    switch (question) {
        case EQuestion::PlaceFinger:
            return "Place your finger on the sensor.";
        case EQuestion::LiftFinger:
            return "Lift your finger.\nsondrix-cli: Place the same finger again.";
        case EQuestion::SecondFinger:
            return "Place a second finger.";
        case EQuestion::FirstFinger:
            return "Place the first finger.";
        case EQuestion::AnotherFinger:
            return "Place the next finger.";
        case EQuestion::RetryRegistration:
            return "Place your finger again.";
        case EQuestion::MaxFingers:
            return "No more fingers fit: the ones scanned are stored.";
    }
    return "";
}

// The terminal side of a run: progress on the error stream (one line, or
// a line every few seconds), the prompts for the person at the module, and
// the master credential when the module asks and none was given.
class CCliTerminal {
  public:
    CCliTerminal(const SCliOptions& options, std::ostream& err, bool terminal, CMessageLoop& loop)
        : m_options(options), m_err(err), m_bar(err, terminal), m_loop(loop) {}
    ~CCliTerminal() { m_bar.Break(); }

    void Progress(const std::string& text) {
        if (!m_options.quiet) {
            Say(text);
        }
    }
    void Say(const std::string& text) {
        m_bar.Break();
        m_err << "sondrix-cli: " << text << std::endl;
    }
    void Hook(CModule& module) {
        // A run is named by its command; an image's blocks show as a share.
        module.SetProgress([this](const SProgress& progress) {
            if (m_options.quiet || progress.total <= 0) {
                return;
            }
            const bool share = progress.unit == "blocks";
            m_bar.Update(m_options.command,
                         share ? progress.done * 100 / progress.total : progress.done,
                         share ? 100 : progress.total, share ? "%" : progress.unit, m_loop.NowMs());
            if (progress.done == progress.total) {
                m_bar.Complete(m_loop.NowMs());
            }
        });
        // The person at the module hears what to do even from a quiet run;
        // a capture for a script stays quiet.
        const bool person = m_options.command == "enroll" || m_options.command == "verify" ||
                            m_options.command == "identify";
        module.SetPrompt([this, person](EQuestion question) {
            if (person || !m_options.quiet) {
                Say(PromptText(question));
            }
        });
        module.SetCredential([this]() -> std::optional<SMasterCredential> {
            if (!m_options.masterPassword.empty()) {
                return SMasterCredential{m_options.masterId, m_options.masterPassword};
            }
            if (!StdinIsTerminal()) {
                return std::nullopt;
            }
            // Nothing given: what the module asks for, the person types.
            SMasterCredential typed;
            if (!ReadTerminalLine("Master ID (empty for the device password): ", false, typed.id) ||
                !ReadTerminalLine("Master password: ", true, typed.password) ||
                typed.password.empty()) {
                return std::nullopt;
            }
            return typed;
        });
    }

  private:
    const SCliOptions& m_options;
    std::ostream& m_err;
    CCliProgress m_bar;
    CMessageLoop& m_loop;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    SCliOptions options;
    std::string error;
    // Asked for JSON, a script gets its error object whatever else is wrong.
    options.json = std::find(args.begin(), args.end(), "--json") != args.end();
    if (!ParseCliOptions(args, options, error)) {
        return Fail(kCliUsage, error, options, out, err);
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
            return Fail(kCliFileError, error, options, out, err);
        }
        out << "Wireshark dissector installed: " << path << std::endl;
        if (!globalCopy.empty()) {
            out << "A global copy is installed too (" << globalCopy
                << "); Wireshark loads the dissector once, from the global copy." << std::endl;
        }
        return kCliOk;
    }
    // Ctrl-C and SIGTERM end the work through the normal path: the wait under
    // way fails, master mode is left, the port closed, the trace completed. A
    // second request, when that shutdown hangs, ends the program at once.
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
    // inside the process behind COM1, on the run's loop.
    std::unique_ptr<CPtySimulator> simulator;
    std::unique_ptr<CSimModule> simulated;
    std::unique_ptr<CSimDeskPorts> simulatedPorts;
    std::unique_ptr<CCliTrace> trace;
    CCliTerminal terminal(options, err, errIsTerminal, loop);
    int status = kCliOk;
    CCliReport report;
    try {
        const SCliCommand* command = FindCliCommand(options.command);
        if (command != nullptr) {
            command->check(options);
        }
        TakeSecrets(options);
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
            simulated = std::make_unique<CSimModule>(options.simConfig);
            simulatedPorts = std::make_unique<CSimDeskPorts>(loop, *simulated, ports);
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
        CModule::SSettings settings;
        settings.timeoutMs = options.timeoutMs;
        settings.stayMaster = options.stayMaster;
        // The simulated module's line is new every run: nothing to remember.
        settings.rateFile = options.simulate ? std::filesystem::path() : CRateMemory::UserFile();
        CModule module(loop, devices, settings);
        module.SetInterrupt([&interrupt] { return interrupt.load(); });
        terminal.Hook(module);
        const bool monitor = options.command == "monitor";
        module.SetPacketObserver([&](const STracedPacket& packet) {
            if (trace) {
                trace->Record(packet);
            }
            if (monitor) {
                out << MonitorLine(packet, options.json) << std::endl;
            }
        });
        if (trace) {
            trace->Attach(module);
        }
        if (monitor) {
            terminal.Progress(options.attach ? "listening on " + portName + " at " +
                                                   std::to_string(options.baud != 0 ? options.baud
                                                                                    : kAttachBaud) +
                                                   " bps, sending nothing; Ctrl-C ends"
                                             : "monitoring " + portName + "; Ctrl-C ends");
            RunMonitor(module, options, portName, trace.get());
        } else {
            terminal.Progress("connecting on " + portName +
                              (options.baud != 0 ? " at " + std::to_string(options.baud) + " bps"
                                                 : ", searching every rate"));
            const SModuleInfo info = module.Connect(portName, options.baud);
            terminal.Progress("connected to " + info.model + " (firmware " + info.firmwareText +
                              ") at " + std::to_string(info.baud) + " bps");
            command->run(module, options, report);
            module.Close();
        }
    } catch (const SCliFailure& failure) {
        status = Fail(failure.status, failure.message, options, out, err);
    } catch (const CModuleError& failure) {
        status = Fail(failure.ExitStatus(), failure.what(), options, out, err);
    }
    if (trace && !trace->Close(error)) {
        // A run that failed otherwise keeps its status, and still says so.
        if (status == kCliOk) {
            status = Fail(kCliFileError, error, options, out, err);
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
