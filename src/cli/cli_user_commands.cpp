// The commands of the person at the module: enroll, verify, identify, delete
// and master.
#include <algorithm>
#include <array>

#include "cli/cli_commands.h"
#include "cli/cli_status.h"
#include "platform/terminal.h"

namespace sondrix {

namespace {

// The module keeps at most 15 digits of an ID.
constexpr size_t kIdDigits = 15;

// Checks the argument count and that the arguments from `first` on are IDs
// any module could take; the connected module's own limit is checked once
// it is known, before anything that depends on it is sent.
void NeedIds(const SCliOptions& options, size_t first, size_t low, size_t high, const char* usage) {
    NeedArguments(options, low, high, usage);
    const auto& args = options.arguments;
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& id = args[i];
        if (id.empty() || id.size() > kIdDigits ||
            !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            CliFail(kCliUsage, "the ID " + id + " is not 1 to 15 digits");
        }
    }
}

// The person's answer to a question: --yes or --no, else asked on the
// terminal, else no.
bool Agrees(const SCliOptions& options, const std::string& question) {
    if (options.answer >= 0) {
        return options.answer == 1;
    }
    std::string line;
    return StdinIsTerminal() && ReadTerminalLine(question + " [y/N] ", false, line) &&
           (line == "y" || line == "Y" || line == "yes");
}

void ReportMatch(const SMatch& match, CCliReport& report) {
    if (!match.matched) {
        throw CModuleError(EFailure::Module, match.text);
    }
    report.Add("result", match.text);
    if (!match.id.empty()) {
        report.Add("id", match.id);
    }
    if (match.index >= 0) {
        report.AddNumber("index", match.index);
    }
    report.AddFlag("matched", true);
    report.AddNumber("time_ms", match.timeMs);
}

// ---- enroll ----

void CheckEnroll(const SCliOptions& options) {
    NeedIds(options, 0, 1, 1, "enroll ID [--finger N] [--password] [--yes|--no]");
}

void Enroll(CModule& module, const SCliOptions& options, CCliReport& report) {
    SEnrolment enrolment;
    enrolment.id = options.arguments.at(0);
    enrolment.password = options.passwordValue;
    // Without --finger, as many as the module's own flow takes.
    const bool counted =
        std::find(options.given.begin(), options.given.end(), "--finger") != options.given.end();
    enrolment.fingers = counted ? static_cast<int>(options.fingerCount) : 0;
    enrolment.retry = [&options] { return Agrees(options, "The scan failed. Try again?"); };
    const SEnrolled enrolled = module.Enroll(enrolment);
    report.Add("result", enrolled.text);
    report.Add("id", enrolled.id);
    report.AddNumber("fingers", enrolled.fingers);
}

// ---- verify, identify ----

void CheckVerify(const SCliOptions& options) {
    NeedIds(options, 0, 1, 1, "verify [--password] ID");
}

void Verify(CModule& module, const SCliOptions& options, CCliReport& report) {
    const std::string& id = options.arguments.at(0);
    const SMatch match = module.Verify(
        id, options.password ? std::optional<std::string>(options.passwordValue) : std::nullopt);
    report.Add("id", id);
    ReportMatch(match, report);
}

void CheckNothing(const SCliOptions& options) {
    NeedIds(options, 0, 0, 0, options.command.c_str());
}

void Identify(CModule& module, const SCliOptions&, CCliReport& report) {
    ReportMatch(module.Identify(), report);
}

// ---- delete, master ----

void CheckDelete(const SCliOptions& options) {
    if (options.all) {
        NeedIds(options, 0, 0, 0, "delete --all [--yes]");
        if (options.answer < 0 && !StdinIsTerminal()) {
            CliFail(kCliUsage, "delete --all asks first: give --yes when no terminal can answer");
        }
        return;
    }
    NeedIds(options, 0, 1, SIZE_MAX, "delete ID... | delete --all [--yes]");
}

void Delete(CModule& module, const SCliOptions& options, CCliReport& report) {
    SDeletion deletion;
    if (options.all) {
        if (!Agrees(options, "Delete every user on the module?")) {
            CliFail(kCliUsage, "nothing deleted: not confirmed");
        }
        deletion = module.DeleteAll();
    } else {
        deletion = module.Delete(options.arguments);
    }
    report.Add("result", deletion.text);
    if (!options.all) {
        report.AddNumber("deleted", static_cast<int64_t>(options.arguments.size()));
    }
    report.AddNumber("users", deletion.users);
}

void CheckMaster(const SCliOptions& options) {
    const auto& args = options.arguments;
    NeedIds(options, 1, 2, SIZE_MAX, "master set|reset ID...");
    if (args[0] != "set" && args[0] != "reset") {
        CliFail(kCliUsage, "usage: sondrix-cli master set|reset ID...");
    }
}

void Master(CModule& module, const SCliOptions& options, CCliReport& report) {
    const std::vector<std::string> ids(options.arguments.begin() + 1, options.arguments.end());
    const std::vector<SUser> users = module.SetMaster(ids, options.arguments[0] == "set");
    report.SetRowsName("users");
    for (const SUser& user : users) {
        report.AddRow({{"id", user.id}, {"authority", user.master ? "MASTER" : "USER"}});
    }
}

constexpr std::array<SCliCommand, 5> kUserCommands = {{
    {"enroll", CheckEnroll, Enroll},
    {"verify", CheckVerify, Verify},
    {"identify", CheckNothing, Identify},
    {"delete", CheckDelete, Delete},
    {"master", CheckMaster, Master},
}};

}  // namespace

const SCliCommand* FindCliUserCommand(const std::string& name) {
    const auto* found =
        std::find_if(kUserCommands.begin(), kUserCommands.end(),
                     [&](const SCliCommand& command) { return name == command.name; });
    return found == kUserCommands.end() ? nullptr : found;
}

}  // namespace sondrix
