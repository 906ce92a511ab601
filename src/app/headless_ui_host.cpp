#include "app/headless_ui_host.h"

#include <algorithm>

#include "platform/dialog_model.h"

namespace sondrix {

namespace {

constexpr const char* kScripted = " (script)";

bool Fits(EAnswer answer, EButtons buttons) {
    switch (buttons) {
        case EButtons::OkCancel:
            return answer == EAnswer::Ok || answer == EAnswer::Cancel;
        case EButtons::YesNo:
            return answer == EAnswer::Yes || answer == EAnswer::No;
        case EButtons::Ok:
            break;
    }
    return answer == EAnswer::Ok;
}

// The first static text of a popup (its prompt or message), if any.
std::string PopupText(const CDialogModel& dialog) {
    for (int id : dialog.ControlIds()) {
        const SControl& control = dialog.Control(id);
        if (control.kind == EControlKind::Static && !control.text.empty()) {
            return ": " + Printable(control.text);
        }
    }
    return {};
}

// "MIN files(*.min)|*.min|All files|*.*|" -> "MIN files(*.min)"
std::string FilterName(const std::string& filter) {
    return filter.substr(0, filter.find('|'));
}

}  // namespace

std::string Unusable(const CDialogModel& dialog, int id) {
    const std::string control = dialog.Name() + " " + std::to_string(id);
    if (!dialog.Has(id)) {
        return dialog.Name() + " has no control " + std::to_string(id);
    }
    if (!dialog.IsWindowEnabled()) {
        return control + ": " + dialog.Name() + " is disabled";
    }
    if (!dialog.IsVisible(id)) {
        return control + " is hidden";
    }
    if (!dialog.IsEnabled(id)) {
        return control + " is disabled";
    }
    return {};
}

bool CHeadlessUiHost::Take(size_t& queued) {
    if (queued == 0) {
        return false;
    }
    --queued;
    return true;
}

EAnswer CHeadlessUiHost::MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                                    const std::string& caption) {
    const bool scripted = Take(m_answers);
    const EAnswer answer = CScriptedUiHost::MessageBox(text, icon, buttons, caption);
    std::string line = std::string("box ") + IconName(icon) + " " + ButtonsName(buttons) + " -> " +
                       AnswerName(answer) + (scripted ? kScripted : "");
    if (!caption.empty()) {
        line += " [" + Printable(caption) + "]";
    }
    m_log.Line(line + ": " + Printable(text));
    if (!Fits(answer, buttons)) {
        m_log.Fail(std::string("the answer ") + AnswerName(answer) + " is not a button of a " +
                   ButtonsName(buttons) + " box");
    }
    return answer;
}

std::vector<std::string> CHeadlessUiHost::FileDialog(const SFileDialog& request) {
    const bool scripted = Take(m_files);
    std::vector<std::string> paths = CScriptedUiHost::FileDialog(request);
    std::string chosen;
    for (const std::string& path : paths) {
        chosen += " " + path;
    }
    m_log.Line(std::string("file ") + (request.save ? "save" : "open") + " " +
               FilterName(request.filter) + " ->" + (paths.empty() ? " cancel" : chosen) +
               (scripted ? kScripted : ""));
    if (paths.size() > 1 && !request.multiSelect) {
        m_log.Fail("this file dialog takes one file, the script gave " +
                   std::to_string(paths.size()));
    }
    return paths;
}

void CHeadlessUiHost::OpenUrl(const std::string& address) {
    CScriptedUiHost::OpenUrl(address);
    m_log.Line("open " + address);
}

int CHeadlessUiHost::RunModal(CDialogModel& dialog) {
    const bool scripted = Take(m_popups);
    const int result = CScriptedUiHost::RunModal(dialog);
    m_log.Line("popup " + dialog.Name() + " -> " + (result == IDOK ? "ok" : "cancel") +
               (scripted ? kScripted : "") + PopupText(dialog));
    return result;
}

void CHeadlessUiHost::ShowModeless(CDialogModel& dialog) {
    const auto& open = OpenModeless();
    const bool opening = std::find(open.begin(), open.end(), &dialog) == open.end();
    CScriptedUiHost::ShowModeless(dialog);
    if (opening) {
        m_log.Line("popup " + dialog.Name() + " opened" + PopupText(dialog));
    }
}

void CHeadlessUiHost::CloseModeless(CDialogModel& dialog) {
    const auto& open = OpenModeless();
    const bool closing = std::find(open.begin(), open.end(), &dialog) != open.end();
    CScriptedUiHost::CloseModeless(dialog);
    if (closing) {
        m_log.Line("popup " + dialog.Name() + " closed");
    }
}

void CHeadlessUiHost::ScriptAnswer(EAnswer answer) {
    ++m_answers;
    QueueAnswer(answer);
}

void CHeadlessUiHost::ScriptPopupAnswer(bool ok, const std::string& text) {
    ++m_popups;
    QueuePopupAnswer(ok, text);
}

void CHeadlessUiHost::ScriptPopupClicks(std::vector<int> ids, bool ok) {
    ++m_popups;
    // Unlike a plain scripted click, a choice the person could not make is
    // reported: a disabled format would otherwise go unnoticed.
    ids.push_back(ok ? IDOK : IDCANCEL);
    QueuePopup([this, ids = std::move(ids)](CDialogModel& popup) {
        for (int id : ids) {
            const std::string refusal = Unusable(popup, id);
            if (refusal.empty()) {
                popup.Click(id);
            } else {
                m_log.Fail(refusal);
            }
        }
    });
}

void CHeadlessUiHost::ScriptFiles(std::vector<std::string> paths) {
    ++m_files;
    QueueFiles(std::move(paths));
}

void CHeadlessUiHost::ReportUnused() {
    const struct {
        size_t count;
        const char* what;
    } unused[] = {
        {m_answers, "box answer(s)"}, {m_popups, "popup answer(s)"}, {m_files, "file choice(s)"}};
    for (const auto& [count, what] : unused) {
        if (count > 0) {
            m_log.Line("note: " + std::to_string(count) + " queued " + what + " never asked for");
        }
    }
}

}  // namespace sondrix
