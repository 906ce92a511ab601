#include "cli/cli_options.h"

#include <algorithm>
#include <array>

#include "link/line_rates.h"
#include "platform/system_serial.h"
#include "sim/sim_options.h"

namespace sondrix {

namespace {

constexpr std::array<const char*, 20> kCommands = {
    "info",    "capture",  "users",  "backup",  "restore", "log",      "time",
    "options", "firmware", "send",   "enroll",  "verify",  "identify", "delete",
    "master",  "status",   "cancel", "monitor", "ports",   "help"};

bool ParseUnsigned(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    value = static_cast<uint32_t>(std::stoul(text));
    return true;
}

// The longest --timeout: a day, which no single answer of a module needs.
constexpr uint64_t kLongestTimeoutSeconds = 86400;

bool IsDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Options that only some commands take, and those commands.
struct SOptionScope {
    const char* option;
    std::array<const char*, 3> commands;
};

constexpr std::array<SOptionScope, 9> kOptionScopes = {{
    {"-o", {"capture", "log", nullptr}},
    {"--option", {"log", nullptr, nullptr}},
    {"--all", {"delete", nullptr, nullptr}},
    {"--password", {"enroll", "verify", nullptr}},
    {"--password-file", {"enroll", "verify", nullptr}},
    {"--finger", {"enroll", nullptr, nullptr}},
    {"--yes", {"enroll", "delete", nullptr}},
    {"--no", {"enroll", "delete", nullptr}},
    {"--attach", {"monitor", nullptr, nullptr}},
}};

// Pairs of options of which one says the other's opposite, or gives the
// same thing twice.
constexpr std::array<std::pair<const char*, const char*>, 4> kConflicts = {{
    {"--yes", "--no"},
    {"--password", "--password-file"},
    {"--master-password", "--master-password-file"},
    {"--simulate", "--port"},
}};

bool Given(const SCliOptions& options, const char* option) {
    return std::find(options.given.begin(), options.given.end(), option) != options.given.end();
}

// The first option given that the command does not take, or that
// contradicts another one given; empty when all is well.
std::string OptionMisfit(const SCliOptions& options) {
    for (const auto& [first, second] : kConflicts) {
        if (Given(options, first) && Given(options, second)) {
            return std::string(first) + " and " + second + " cannot go together";
        }
    }
    for (const SOptionScope& scope : kOptionScopes) {
        if (!Given(options, scope.option)) {
            continue;
        }
        std::string commands;
        bool takes = false;
        for (const char* command : scope.commands) {
            if (command != nullptr) {
                takes = takes || options.command == command;
                commands += (commands.empty() ? "" : " and ") + std::string(command);
            }
        }
        if (!takes) {
            return std::string(scope.option) + " goes with " + commands + " only";
        }
    }
    return {};
}

// The simulated module's own options go with a "--sim-" prefix, so that
// "--baud" stays the rate this side of the line uses.
bool TakeSimOptions(std::vector<std::string>& args, SSimConfig& config, std::string& error) {
    std::vector<std::string> sim;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--sim-", 0) == 0) {
            sim.push_back("--" + args[i].substr(6));
            if (i + 1 < args.size()) {
                sim.push_back(args[++i]);
            }
        } else {
            rest.push_back(args[i]);
        }
    }
    if (!ParseSimOptions(sim, config, error)) {
        return false;
    }
    if (!sim.empty()) {
        error = "unknown option " + sim.front() + " (see --help)";
        return false;
    }
    args = std::move(rest);
    return true;
}

}  // namespace

std::span<const char* const> CliCommandNames() {
    return kCommands;
}

bool ParseCliOptions(const std::vector<std::string>& input, SCliOptions& options,
                     std::string& error) {
    std::vector<std::string> args = input;
    if (!TakeSimOptions(args, options.simConfig, error)) {
        return false;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const auto needValue = [&] {
            error = arg + " needs a value";
            return false;
        };
        const auto note = [&](const char* name) { options.given.emplace_back(name); };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
            note("--simulate");
        } else if (arg == "--trace-raw") {
            options.traceRaw = true;
        } else if (arg == "--attach") {
            options.attach = true;
            note("--attach");
        } else if (arg == "--stay-master") {
            options.stayMaster = true;
        } else if (arg == "--install-wireshark-plugin") {
            options.installWiresharkPlugin = true;
        } else if (arg == "--port") {
            if (!hasValue || args[i + 1].empty()) {
                error = "--port needs a port: COMn, COMn=PATH, a device path or name, or auto";
                return false;
            }
            options.port = args[++i];
            note("--port");
        } else if (arg == "--baud") {
            if (!hasValue) {
                return needValue();
            }
            if (!ParseUnsigned(args[++i], options.baud) || !IsLineRate(options.baud)) {
                error = "--baud must be one of " + LineRatesText();
                return false;
            }
        } else if (arg == "--trace") {
            if (!hasValue || args[i + 1].empty()) {
                return needValue();
            }
            options.trace = args[++i];
        } else if (arg == "--master-id") {
            if (!hasValue || !IsDigits(args[i + 1]) || args[i + 1].size() > 15) {
                error = "--master-id needs the master's ID, 1 to 15 digits" +
                        (hasValue ? " (not \"" + args[i + 1] + "\")" : std::string());
                return false;
            }
            options.masterId = args[++i];
        } else if (arg == "--master-password" || arg == "--master-password-file" ||
                   arg == "--password-file") {
            if (!hasValue || args[i + 1].empty()) {
                error =
                    arg + (arg == "--master-password" ? " needs the password" : " needs a file");
                return false;
            }
            std::string& value = arg == "--master-password" ? options.masterPassword
                                 : arg == "--password-file" ? options.passwordFile
                                                            : options.masterPasswordFile;
            value = args[++i];
            options.given.push_back(arg);
        } else if (arg == "--password" || arg.rfind("--password=", 0) == 0) {
            if (arg.size() == 11) {
                error = "--password= needs the password after the =";
                return false;
            }
            options.password = true;
            options.passwordValue = arg.size() > 10 ? arg.substr(11) : std::string();
            note("--password");
        } else if (arg == "--finger" || arg == "--fingers") {
            if (!hasValue || !ParseUnsigned(args[++i], options.fingerCount) ||
                options.fingerCount < 1 || options.fingerCount > 10) {
                error = arg + " needs a count of fingers from 1 to 10";
                return false;
            }
            note("--finger");
        } else if (arg == "--all") {
            options.all = true;
            note("--all");
        } else if (arg == "--yes" || arg == "-y" || arg == "--no") {
            options.answer = arg == "--no" ? 0 : 1;
            note(arg == "--no" ? "--no" : "--yes");
        } else if (arg == "--timeout") {
            const std::string value = hasValue ? args[++i] : std::string();
            if (!IsDigits(value) || value.size() > 18) {
                error = "--timeout needs a number of seconds";
                return false;
            }
            const uint64_t seconds = std::stoull(value);
            if (seconds == 0 || seconds > kLongestTimeoutSeconds) {
                error = "--timeout takes 1 to " + std::to_string(kLongestTimeoutSeconds) +
                        " seconds, not " + value;
                return false;
            }
            options.timeoutMs = static_cast<uint32_t>(seconds * 1000);
        } else if (arg == "-o" || arg == "--output") {
            if (!hasValue || args[i + 1].empty()) {
                error = arg + " needs a file";
                return false;
            }
            options.output = args[++i];
            note("-o");
        } else if (arg == "--option") {
            if (!hasValue) {
                return needValue();
            }
            options.logOption = args[++i];
            note("--option");
            if (options.logOption == "nth") {
                if (i + 1 >= args.size() || !ParseUnsigned(args[++i], options.logCount) ||
                    options.logCount > 99999) {
                    error = "--option nth needs a count from 0 to 99999";
                    return false;
                }
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + " (see --help)";
            return false;
        } else if (options.command.empty()) {
            options.command = arg;
        } else {
            options.arguments.push_back(arg);
        }
    }
    if (options.help || options.version || options.installWiresharkPlugin) {
        return true;
    }
    if (options.traceRaw && options.trace.empty()) {
        error = "--trace-raw needs --trace FILE";
        return false;
    }
    if (options.command.empty()) {
        error = "no command given (see --help)";
        return false;
    }
    if (std::find(kCommands.begin(), kCommands.end(), options.command) == kCommands.end()) {
        error = "unknown command " + options.command + " (see --help)";
        return false;
    }
    if (options.command == "help") {
        options.help = true;
        return true;
    }
    error = OptionMisfit(options);
    return error.empty();
}

std::string CliHelp() {
    return std::string(
               "Usage: sondrix-cli [options] COMMAND [arguments]\n"
               "\n"
               "Commands:\n"
               "  info                  model, series, firmware, user count and status\n"
               "  status                the module's status (Idle..., Busy!!!, ...)\n"
               "  cancel                cancel what the module is doing\n"
               "  capture -o FILE       capture an image; FILE ends in .raw, .bmp or .wsq\n"
               "  enroll ID [--finger N] [--password] [--yes|--no]\n"
               "                        register a user with the module's own sequence,\n"
               "                        prompting on standard error; N fingers (1..10,\n"
               "                        series 4 and 5); --yes/--no answer whether to scan\n"
               "                        again after a failed scan (else asked on a terminal)\n"
               "  verify [--password] ID\n"
               "                        match a finger (or the user's password) against ID\n"
               "  identify              find the user of the finger on the sensor\n"
               "  delete ID...          delete users\n"
               "  delete --all [--yes]  delete every user (asks on a terminal; --yes otherwise)\n"
               "  master set|reset ID...\n"
               "                        give or take master authority\n"
               "  users                 list the users with their authority\n"
               "  backup DIR            download every record into DIR/<ID>.rec\n"
               "  restore FILE...       upload .rec files\n"
               "  log -o FILE [--option all|unread|last|oldest-to-last|nth N]\n"
               "                        download the module's log\n"
               "  time get              print the module's clock\n"
               "  time set [YYYY-MM-DD HH:MM:SS]\n"
               "                        set the clock (to this computer's time without a value)\n"
               "  options get           print the module's options\n"
               "  options set NAME VALUE\n"
               "                        set one option (names as printed by options get;\n"
               "                        on/off for flags)\n"
               "  firmware FILE         update the module's firmware\n"
               "  send COMMAND [PARAM1 [PARAM2 [DATA]]]\n"
               "  send 7E...            send a hand-made packet (hexadecimal, as in the Packet\n"
               "                        Creator, or a whole packet from 7E on) and print the "
               "answer\n"
               "  monitor [--attach]    connect, then print every packet on the line until "
               "Ctrl-C;\n"
               "                        --attach listens without connecting (at --baud, default\n"
               "                        115200)\n"
               "  ports                 list the serial devices present\n"
               "\n"
               "Options:\n"
               "  --port PORT           ") +
           SystemWords().portHelp +
           "  --baud RATE           use this rate only (default: search every rate)\n"
           "  --simulate            work with the built-in simulated module (on a\n"
           "                        pseudo-terminal; inside the program on Windows)\n"
           "  --sim-model NAME, --sim-baud RATE, --sim-firmware HEX, --sim-users N\n"
           "                        set up the simulated module\n"
           "  --sim-finger P:F      the simulated finger on the sensor: person P, finger F\n"
           "  --sim-fingers P:F,... the fingers put down one scan after another\n"
           "  --trace FILE          save every packet: pcapng to FILE and text to FILE.txt\n"
           "                        (text only when FILE ends in .txt)\n"
           "  --trace-raw           with --trace: also every chunk read from or written to "
           "the\n"
           "                        port, as a second interface of the pcapng\n"
           "  --install-wireshark-plugin\n"
           "                        copy the Wireshark dissector of the module protocol into\n"
           "                        " +
           SystemWords().pluginFolder +
           "\n"
           "  --master-id ID        the master's ID, when the module asks for a credential\n"
           "  --master-password-file FILE\n"
           "                        the master's password (or alone the device password)\n"
           "                        from the first line of FILE; also taken from\n"
           "                        SONDRIX_MASTER_PASSWORD, or asked without echo on a\n"
           "                        terminal; --master-password PASSWORD shows it in\n"
           "                        " +
           SystemWords().processList +
           "\n"
           "  --password            the user's password, for enroll and verify: from\n"
           "                        --password-file FILE, SONDRIX_PASSWORD, or asked\n"
           "                        without echo on a terminal (--password=P shows it in\n"
           "                        " +
           SystemWords().processList +
           ")\n"
           "  --json                print the result, or the failure, as one JSON object\n"
           "  --quiet, -q           no progress and no codec lines on standard error\n"
           "  --timeout SECONDS     longest the module may stay silent (1 to 86400, default "
           "30)\n"
           "  --stay-master         leave the module in master mode at the end (a run that\n"
           "                        entered it leaves it otherwise, also when it fails)\n"
           "  --help, --version\n"
           "\n"
           "Results go to standard output; progress (one updating line on a terminal,\n"
           "a line every few seconds elsewhere) and messages to standard error.\n"
           "\n"
           "JSON (schema version 1): one object a run, on one line:\n"
           "  {\"version\": 1, \"command\": \"info\", \"exit\": 0, \"model\": \"HLX-M18\", "
           "\"series\": 5, ...}\n"
           "Counts, sizes, rates, indexes and times are numbers, flags booleans, the rest\n"
           "strings; lists (users, options) are arrays of objects. Every failure, bad\n"
           "command lines included, is {\"version\": 1, \"command\": ..., \"exit\": N,\n"
           "\"error\": \"message\"} (command null when none was named).\n"
           "\n"
           "Exit status:\n" +
           CliStatusHelp();
}

}  // namespace sondrix
