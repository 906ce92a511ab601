#include "cli/cli_user_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/terminal.h"
#include "ui/strings.h"
#include "ui/strings_database.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

// The module keeps at most 15 digits of an ID.
constexpr size_t kIdDigits = 15;

[[noreturn]] void Fail(int status, const std::string& message) {
    throw SCliFailure{status, message};
}

void NeedIds(const SCliOptions& options, size_t first, size_t low, size_t high, const char* usage) {
    const auto& args = options.arguments;
    if (args.size() < low || args.size() > high) {
        Fail(kCliUsage, std::string("usage: sondrix-cli ") + usage);
    }
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& id = args[i];
        if (id.empty() || id.size() > kIdDigits ||
            !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            Fail(kCliUsage, "the ID " + id + " is not 1 to 15 digits");
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

// "(Index : 3)" and "(ID : 12, Index : 0)" of a matching result.
void ReportMatch(const std::string& text, int64_t tookMs, CCliReport& report) {
    report.Add("result", text);
    char id[32] = {};
    int index = 0;
    const size_t open = text.find('(');
    const std::string tail = open == std::string::npos ? std::string() : text.substr(open);
    if (std::sscanf(tail.c_str(), "(ID : %31[^,], Index : %d)", id, &index) == 2) {
        report.Add("id", id);
        report.AddNumber("index", index);
    } else if (std::sscanf(tail.c_str(), "(Index : %d)", &index) == 1) {
        report.AddNumber("index", index);
    }
    report.AddFlag("matched", true);
    report.AddNumber("time_ms", tookMs);
}

// ---- enroll ----

void CheckEnroll(const SCliOptions& options) {
    NeedIds(options, 0, 1, 1, "enroll ID [--finger N] [--password] [--yes|--no]");
}

void Enroll(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    CBasicDlg& page = dlg.basicDlg;
    const std::string& id = options.arguments.at(0);
    session.EnterMaster();
    session.OpenTab(CSondrixDlg::kTabAuthUser);
    if (page.IsChecked(CBasicDlg::kAutoGenerateId)) {
        page.Click(CBasicDlg::kAutoGenerateId);
    }
    page.Click(CBasicDlg::kUser);
    session.SkipBoxes();
    page.Type(CBasicDlg::kRegistrationId, id);
    if (page.registrationId != id) {
        Fail(kCliUsage, "the ID " + id + " is longer than this module takes (" +
                            std::to_string(std::max(dlg.idLength - 1, 0)) + " digits)");
    }
    page.Type(CBasicDlg::kPassword, options.passwordValue);

    // The module's questions and prompts, answered as the person would.
    int fingers = 1;
    bool again = false;
    session.Ui().SetAnswerer([&](const std::string& text, EButtons buttons) {
        if (text == LoadString(IDS_LIFT_FINGER)) {
            session.Prompt("Lift your finger.");
            session.Prompt("Place the same finger again.");
        } else if (text == LoadString(IDS_SECOND_FINGER)) {
            ++fingers;
            session.Prompt("Place a second finger.");
        } else if (text == LoadString(IDS_MORE_FINGER)) {
            if (fingers >= static_cast<int>(options.fingerCount)) {
                return EAnswer::No;
            }
            ++fingers;
            session.Prompt("Place the next finger.");
        } else if (text == LoadString(IDS_CONTINUE_REGISTRATION)) {
            again = Agrees(options, "The scan failed. Try again?");
            if (!again) {
                return EAnswer::No;
            }
            session.Prompt("Place your finger again.");
        }
        return buttons == EButtons::YesNo ? EAnswer::Yes : EAnswer::Ok;
    });
    const size_t mark = session.Ui().Boxes().size();
    const std::string stored = LoadString(IDS_REGISTER_SUCCEEDED);
    const auto done = [&] {
        const auto& boxes = session.Ui().Boxes();
        const auto first = boxes.begin() + static_cast<std::ptrdiff_t>(mark);
        // This module's step registration wants IDs of 4 digits or more.
        const auto refused = std::find_if(first, boxes.end(), [](const auto& box) {
            return box.text == LoadString(IDS_ID_TOO_SHORT);
        });
        if (refused != boxes.end()) {
            Fail(kCliUsage, "the ID " + id + " is too short for this module: " +
                                refused->text.substr(refused->text.find('\n') + 1));
        }
        return std::any_of(first, boxes.end(), [&](const auto& box) { return box.text == stored; });
    };
    session.Prompt("Place your finger on the sensor.");
    page.Click(CBasicDlg::kRegister);
    try {
        while (true) {
            try {
                session.WaitFor(done, "enrolling " + id);
                break;
            } catch (const SCliFailure&) {
                // A failed scan the person chose to try again is not the end.
                if (!again) {
                    throw;
                }
                again = false;
            }
        }
        session.Settle("enrolling " + id);
    } catch (...) {
        session.Ui().SetAnswerer({});
        throw;
    }
    session.Ui().SetAnswerer({});
    report.Add("result", stored);
    report.Add("id", id);
    report.AddNumber("fingers", fingers);
}

// ---- verify, identify ----

void CheckVerify(const SCliOptions& options) {
    NeedIds(options, 0, 1, 1, "verify [--password] ID");
}

void Verify(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CBasicDlg& page = session.Dlg().basicDlg;
    const std::string& id = options.arguments.at(0);
    session.OpenTab(CSondrixDlg::kTabAuthUser);
    page.Click(options.password ? CBasicDlg::kPwVerification : CBasicDlg::kFpVerification);
    session.Ui().QueuePopupAnswer(true, id);
    if (options.password) {
        session.Ui().QueuePopupAnswer(true, options.passwordValue);
    } else {
        session.Prompt("Place your finger on the sensor.");
    }
    session.MarkBoxes();
    const int64_t start = session.Loop().NowMs();
    page.Click(CBasicDlg::kVerification);
    const std::string text = session.WaitForBox("verifying " + id).text;
    const int64_t took = session.Loop().NowMs() - start;
    session.Settle("verifying " + id);
    report.Add("id", id);
    ReportMatch(text, took, report);
}

void CheckNothing(const SCliOptions& options) {
    NeedIds(options, 0, 0, 0, options.command.c_str());
}

void Identify(CCliSession& session, const SCliOptions&, CCliReport& report) {
    session.OpenTab(CSondrixDlg::kTabAuthUser);
    session.Prompt("Place your finger on the sensor.");
    session.MarkBoxes();
    const int64_t start = session.Loop().NowMs();
    session.Dlg().basicDlg.Click(CBasicDlg::kIdentification);
    const std::string text = session.WaitForBox("identifying").text;
    const int64_t took = session.Loop().NowMs() - start;
    session.Settle("identifying");
    ReportMatch(text, took, report);
}

// ---- delete, master ----

void CheckDelete(const SCliOptions& options) {
    if (options.all) {
        NeedIds(options, 0, 0, 0, "delete --all [--yes]");
        if (options.answer < 0 && !StdinIsTerminal()) {
            Fail(kCliUsage, "delete --all asks first: give --yes when no terminal can answer");
        }
        return;
    }
    NeedIds(options, 0, 1, SIZE_MAX, "delete ID... | delete --all [--yes]");
}

// Ticks the DataBase list's rows of the IDs given; an ID the module does
// not hold is a failure.
void CheckRows(CCliSession& session, const std::vector<std::string>& ids) {
    CListData& list = session.Dlg().dbDlg.List(CDbDlg::kList);
    for (size_t row = 0; row < list.RowCount(); ++row) {
        list.SetChecked(row, false);
    }
    for (const std::string& id : ids) {
        size_t row = 0;
        while (row < list.RowCount() && list.Row(row).cells.at(CDbDlg::kColumnId) != id) {
            ++row;
        }
        if (row == list.RowCount()) {
            Fail(kCliModuleError, "the module holds no user " + id);
        }
        list.SetChecked(row, true);
    }
}

void Delete(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    if (options.all) {
        if (!Agrees(options, "Delete every user on the module?")) {
            Fail(kCliUsage, "nothing deleted: not confirmed");
        }
        session.EnterMaster();
        session.OpenTab(CSondrixDlg::kTabAuthUser);
        session.MarkBoxes();
        session.Ui().QueueAnswer(EAnswer::Yes);  // the window's "Are you sure to delete?"
        dlg.basicDlg.Click(CBasicDlg::kDeleteAll);
    } else {
        session.OpenDataBase();
        CheckRows(session, options.arguments);
        session.MarkBoxes();
        session.Ui().QueueAnswer(EAnswer::Yes);
        dlg.dbDlg.Click(CDbDlg::kDelete);
    }
    const std::string text = session.WaitForBox("deleting").text;
    session.Settle("deleting");
    report.Add("result", text);
    if (!options.all) {
        report.AddNumber("deleted", static_cast<int64_t>(options.arguments.size()));
    }
    report.AddNumber("users", std::atoll(dlg.imageDlg.Text(CImageDlg::kUserCounts).c_str()));
}

void CheckMaster(const SCliOptions& options) {
    const auto& args = options.arguments;
    NeedIds(options, 1, 2, SIZE_MAX, "master set|reset ID...");
    if (args[0] != "set" && args[0] != "reset") {
        Fail(kCliUsage, "usage: sondrix-cli master set|reset ID...");
    }
}

void Master(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CDbDlg& page = session.Dlg().dbDlg;
    const std::vector<std::string> ids(options.arguments.begin() + 1, options.arguments.end());
    session.OpenDataBase();
    CheckRows(session, ids);
    const bool grant = options.arguments[0] == "set";
    page.Click(grant ? CDbDlg::kSetMaster : CDbDlg::kResetMaster);
    session.WaitFor([&] { return page.rowsToChange == 0; }, "changing the authority");
    session.Settle("changing the authority");
    const CListData& list = page.List(CDbDlg::kList);
    report.SetRowsName("users");
    for (size_t row = 0; row < list.RowCount(); ++row) {
        const auto& cells = list.Row(row).cells;
        if (std::find(ids.begin(), ids.end(), cells.at(CDbDlg::kColumnId)) != ids.end()) {
            report.AddRow({{"id", cells.at(CDbDlg::kColumnId)},
                           {"authority", cells.at(CDbDlg::kColumnAuthority)}});
        }
    }
}

// ---- status, cancel ----

void Status(CCliSession& session, const SCliOptions&, CCliReport& report) {
    CImageDlg& page = session.Dlg().imageDlg;
    page.Click(CImageDlg::kStatus);
    session.Settle("reading the status");
    report.Add("status", page.Text(CImageDlg::kInfoStatus));
}

void Cancel(CCliSession& session, const SCliOptions&, CCliReport& report) {
    session.OpenTab(CSondrixDlg::kTabAuthUser);
    const uint64_t before = session.AnswersSeen();
    session.Dlg().basicDlg.Click(CBasicDlg::kCancel);
    // The window reports either answer, idle or cancelled, through its
    // error report; neither is a failure here.
    session.Loop().RunUntil([&] { return session.AnswersSeen() > before; }, 5000);
    session.Loop().RunFor(100);  // the answer is traced before it is handled
    session.SkipBoxes();
    if (session.AnswersSeen() == before) {
        Fail(kCliTimeout, "no answer to the cancel from the module on " + session.Dlg().portName);
    }
    report.Add("result", session.Dlg().Text(CSondrixDlg::kMessageLine));
}

constexpr std::array<SCliUserCommand, 7> kUserCommands = {{
    {"enroll", CheckEnroll, Enroll},
    {"verify", CheckVerify, Verify},
    {"identify", CheckNothing, Identify},
    {"delete", CheckDelete, Delete},
    {"master", CheckMaster, Master},
    {"status", CheckNothing, Status},
    {"cancel", CheckNothing, Cancel},
}};

}  // namespace

const SCliUserCommand* FindCliUserCommand(const std::string& name) {
    const auto* found =
        std::find_if(kUserCommands.begin(), kUserCommands.end(),
                     [&](const SCliUserCommand& command) { return name == command.name; });
    return found == kUserCommands.end() ? nullptr : found;
}

}  // namespace sondrix
