#include "app/headless_runner.h"

#include <exception>

namespace sondrix {

namespace {

const char* OnOffWord(bool on) {
    return on ? "on" : "off";
}

std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// "main 1030": the control as the script names it.
std::string Name(const SScriptCommand& command) {
    return command.target.name + " " + std::to_string(command.id);
}

}  // namespace

CHeadlessRunner::CHeadlessRunner(CMessageLoop& loop, CHeadlessUiHost& ui, CHeadlessLog& log,
                                 SWindow window)
    : m_loop(loop), m_ui(ui), m_log(log), m_window(std::move(window)) {
    m_messages.push_back(Printable(m_window.model->Text(m_window.messageLineId)));
    m_observer = m_window.model->AddObserver([this](int id) {
        if (id == 0 || id == m_window.messageLineId) {
            OnWindowChanged();
        }
    });
}

CHeadlessRunner::~CHeadlessRunner() {
    m_window.model->RemoveObserver(m_observer);
}

std::vector<std::string> CHeadlessRunner::PageNames() const {
    std::vector<std::string> names;
    for (const CDialogModel* page : m_window.pages) {
        names.push_back(page->Name());
    }
    return names;
}

int CHeadlessRunner::Run(const std::vector<SScriptCommand>& commands) {
    for (const SScriptCommand& command : commands) {
        m_log.SetScriptLine(command.line);
        m_log.Line("> " + command.source);
        try {
            Execute(command);
            // The person is between two steps: whatever is due now happens.
            m_loop.ProcessPending();
        } catch (const std::exception& error) {
            // A handler gave up half-way; what follows would act on a broken state.
            m_log.Fail(std::string("the program stopped with an error: ") + error.what());
            break;
        }
    }
    m_log.SetScriptLine(0);
    m_ui.ReportUnused();
    const int failures = m_log.Failures();
    m_log.Line("done: " + std::to_string(m_checks) + " checks, " + std::to_string(failures) +
               " failures");
    return failures == 0 ? 0 : 1;
}

void CHeadlessRunner::Execute(const SScriptCommand& command) {
    switch (command.op) {
        case EScriptOp::Click:
            Act(command,
                [&](CDialogModel& dialog, const SControl& control) { dialog.Click(control.id); });
            break;
        case EScriptOp::Press:
            Press(command);
            break;
        case EScriptOp::Type:
            Act(command, [&](CDialogModel& dialog, const SControl& control) {
                Type(dialog, control, command);
            });
            break;
        case EScriptOp::Select:
            Act(command, [&](CDialogModel& dialog, const SControl& control) {
                Select(dialog, control, command);
            });
            break;
        case EScriptOp::Check:
            Act(command, [&](CDialogModel& dialog, const SControl& control) {
                Check(dialog, control, command);
            });
            break;
        case EScriptOp::Row:
            Act(command, [&](CDialogModel& dialog, const SControl& control) {
                Row(dialog, control, command);
            });
            break;
        case EScriptOp::Tab:
            ChangeTab(command.number);
            break;
        case EScriptOp::Answer:
            m_ui.ScriptAnswer(command.answer);
            break;
        case EScriptOp::Popup:
            m_ui.ScriptPopupAnswer(command.on, command.text);
            break;
        case EScriptOp::PopupChoose:
            m_ui.ScriptPopupClicks(command.ids, command.on);
            break;
        case EScriptOp::File:
            m_ui.ScriptFiles(command.paths);
            break;
        case EScriptOp::FileCancel:
            m_ui.ScriptFiles({});
            break;
        case EScriptOp::WaitMessage:
            Wait([&] { return MessageShown(command.text); }, command.ms,
                 "the message line did not show " + Quoted(command.text));
            break;
        case EScriptOp::WaitBox:
            Wait([&] { return BoxShown(command.text); }, command.ms,
                 "no box with " + Quoted(command.text) + " was shown");
            break;
        case EScriptOp::Sleep:
            m_loop.RunFor(command.ms);
            break;
        case EScriptOp::Expect:
            Expect(command);
            break;
    }
}

CDialogModel* CHeadlessRunner::Find(const SScriptTarget& target) {
    switch (target.kind) {
        case SScriptTarget::EKind::Page:
            return m_window.pages[static_cast<size_t>(target.page)];
        case SScriptTarget::EKind::Popup:
            if (m_ui.OpenModeless().empty()) {
                m_log.Fail("no popup is open");
                return nullptr;
            }
            return m_ui.OpenModeless().back();
        case SScriptTarget::EKind::Window:
            break;
    }
    return m_window.model;
}

void CHeadlessRunner::Act(const SScriptCommand& command, const Action& action) {
    CDialogModel* dialog = Find(command.target);
    if (dialog == nullptr) {
        return;
    }
    std::string refusal = Unusable(*dialog, command.id);
    if (refusal.empty() && command.target.kind == SScriptTarget::EKind::Page) {
        if (command.target.page != CurrentTab()) {
            refusal = "page " + command.target.name + " is not shown (the tab is " +
                      TabName(CurrentTab()) + ")";
        } else if (!m_window.model->IsWindowEnabled()) {
            refusal = "the main window is disabled";
        }
    }
    if (refusal.empty()) {
        action(*dialog, dialog->Control(command.id));
    } else {
        m_log.Fail(refusal);
    }
}

void CHeadlessRunner::Press(const SScriptCommand& command) {
    CDialogModel* dialog = Find(command.target);
    if (dialog == nullptr) {
        return;
    }
    if (!dialog->Has(command.id)) {
        m_log.Fail(Unusable(*dialog, command.id));
        return;
    }
    if (dialog->IsVisible(command.id)) {
        m_log.Fail(Name(command) + " is shown: a person clicks it (click)");
        return;
    }
    // For the moment of the click it is what it would be if it were shown.
    const bool enabled = dialog->IsEnabled(command.id);
    dialog->Show(command.id, true);
    dialog->Enable(command.id, true);
    dialog->Click(command.id);
    dialog->Show(command.id, false);
    dialog->Enable(command.id, enabled);
}

void CHeadlessRunner::Type(CDialogModel& dialog, const SControl& control,
                           const SScriptCommand& command) {
    if (control.kind != EControlKind::Edit || control.readOnly) {
        m_log.Fail(Name(command) + " is not an edit one can type in");
        return;
    }
    if (control.limit != 0 && command.text.size() > control.limit) {
        m_log.Line("  -> the edit takes " + std::to_string(control.limit) + " characters");
    }
    dialog.Type(control.id, command.text);
}

void CHeadlessRunner::Select(CDialogModel& dialog, const SControl& control,
                             const SScriptCommand& command) {
    if (static_cast<size_t>(command.number) >= control.items.size()) {
        m_log.Fail(Name(command) + " has " + std::to_string(control.items.size()) + " choices");
    } else if (&dialog == m_window.model && control.id == m_window.tabsId) {
        ChangeTab(command.number);
    } else {
        dialog.Select(control.id, command.number);
    }
}

void CHeadlessRunner::Check(CDialogModel& dialog, const SControl& control,
                            const SScriptCommand& command) {
    if (control.kind != EControlKind::CheckBox && control.kind != EControlKind::Radio) {
        m_log.Fail(Name(command) + " is neither a check box nor a radio button");
    } else if (control.checked == command.on) {
        m_log.Line(std::string("  -> already ") + OnOffWord(command.on));
    } else if (control.kind == EControlKind::Radio && !command.on) {
        m_log.Fail(Name(command) + " is a radio button: it goes off when another one is chosen");
    } else {
        dialog.Click(control.id);
        if (dialog.IsChecked(control.id) != command.on) {
            m_log.Line(std::string("  -> still ") + OnOffWord(!command.on));
        }
    }
}

void CHeadlessRunner::Row(CDialogModel& dialog, const SControl& control,
                          const SScriptCommand& command) {
    if (control.kind != EControlKind::List) {
        m_log.Fail(Name(command) + " is not a list");
        return;
    }
    CListData& list = dialog.List(control.id);
    const auto row = static_cast<size_t>(command.number);
    if (row >= list.RowCount()) {
        m_log.Fail(Name(command) + " has " + std::to_string(list.RowCount()) + " rows");
    } else if (list.Row(row).checked == command.on) {
        m_log.Line(std::string("  -> already ") + OnOffWord(command.on));
    } else {
        list.SetChecked(row, command.on);
    }
}

void CHeadlessRunner::ChangeTab(int tab) {
    if (tab == CurrentTab()) {
        // The tab control reports no change when its own tab is clicked.
        m_log.Line("  -> already on tab " + TabName(tab));
        return;
    }
    const std::string refusal = Unusable(*m_window.model, m_window.tabsId);
    if (!refusal.empty()) {
        m_log.Fail(refusal);
        return;
    }
    m_window.model->Select(m_window.tabsId, tab);
    if (CurrentTab() != tab) {
        m_log.Line("  -> on tab " + TabName(CurrentTab()));
    }
}

void CHeadlessRunner::Wait(const std::function<bool()>& met, uint32_t timeoutMs,
                           const std::string& missed) {
    ++m_checks;
    const int64_t start = m_loop.NowMs();
    if (m_loop.RunUntil(met, timeoutMs)) {
        m_log.Line("  -> met after " + std::to_string(m_loop.NowMs() - start) + " ms");
    } else {
        m_log.Fail(missed + " within " + std::to_string(timeoutMs) + " ms");
    }
}

bool CHeadlessRunner::MessageShown(const std::string& text) {
    for (size_t i = m_messageCursor; i < m_messages.size(); ++i) {
        if (m_messages[i].find(text) != std::string::npos) {
            m_messageCursor = i;
            return true;
        }
    }
    return false;
}

bool CHeadlessRunner::BoxShown(const std::string& text) {
    const auto& boxes = m_ui.Boxes();
    for (size_t i = m_boxCursor; i < boxes.size(); ++i) {
        if (Printable(boxes[i].text).find(text) != std::string::npos) {
            m_boxCursor = i + 1;
            return true;
        }
    }
    return false;
}

void CHeadlessRunner::Expect(const SScriptCommand& command) {
    ++m_checks;
    const CDialogModel* dialog = Find(command.target);
    if (dialog == nullptr) {
        return;
    }
    if (!dialog->Has(command.id)) {
        m_log.Fail(dialog->Name() + " has no control " + std::to_string(command.id));
        return;
    }
    const SControl& control = dialog->Control(command.id);
    std::string found;
    std::string wanted;
    switch (command.field) {
        case EExpectField::Text:
            found = WithoutTrailingBlanks(Printable(control.text));
            wanted = command.text;
            break;
        case EExpectField::Enabled:
            found = OnOffWord(control.enabled);
            wanted = OnOffWord(command.on);
            break;
        case EExpectField::Checked:
            found = OnOffWord(control.checked);
            wanted = OnOffWord(command.on);
            break;
        case EExpectField::Visible:
            found = OnOffWord(control.visible);
            wanted = OnOffWord(command.on);
            break;
        case EExpectField::Selection:
            found = std::to_string(control.selection);
            wanted = std::to_string(command.number);
            break;
    }
    if (found == wanted) {
        m_log.Line("  -> ok");
    } else {
        m_log.Fail(Name(command) + ": expected " + Quoted(wanted) + ", found " + Quoted(found));
    }
}

void CHeadlessRunner::OnWindowChanged() {
    std::string text = Printable(m_window.model->Text(m_window.messageLineId));
    if (text != m_messages.back()) {
        m_log.Line("message: " + text);
        m_messages.push_back(std::move(text));
    }
}

int CHeadlessRunner::CurrentTab() const {
    return m_window.model->Selection(m_window.tabsId);
}

std::string CHeadlessRunner::TabName(int tab) const {
    if (tab < 0 || static_cast<size_t>(tab) >= m_window.pages.size()) {
        return std::to_string(tab);
    }
    return m_window.pages[static_cast<size_t>(tab)]->Name();
}

}  // namespace sondrix
