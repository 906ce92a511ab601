#include "platform/scripted_ui_host.h"

#include <algorithm>

#include "platform/dialog_model.h"

namespace sondrix {

EAnswer CScriptedUiHost::MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                                    const std::string& caption) {
    EAnswer answer = buttons == EButtons::YesNo ? EAnswer::Yes : EAnswer::Ok;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else if (m_answerer) {
        answer = m_answerer(text, buttons);
    }
    m_boxes.push_back({text, icon, buttons, caption, answer});
    if (m_observer) {
        m_observer(m_boxes.back());
    }
    return answer;
}

std::vector<std::string> CScriptedUiHost::FileDialog(const SFileDialog& request) {
    m_fileDialogs.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    std::vector<std::string> paths = std::move(m_files.front());
    m_files.pop_front();
    return paths;
}

int CScriptedUiHost::RunModal(CDialogModel& dialog) {
    m_modalPopups.push_back(dialog.Name());
    dialog.ResetEnded();
    dialog.OnInitDialog();
    PopupAction action = [](CDialogModel& d) { d.Click(IDOK); };
    if (!m_popups.empty()) {
        action = std::move(m_popups.front());
        m_popups.pop_front();
    } else if (m_popupAnswerer) {
        action = m_popupAnswerer;
    }
    action(dialog);
    return dialog.Ended() ? dialog.Result() : IDCANCEL;
}

void CScriptedUiHost::ShowModeless(CDialogModel& dialog) {
    if (std::find(m_modeless.begin(), m_modeless.end(), &dialog) == m_modeless.end()) {
        m_modeless.push_back(&dialog);
    }
}

void CScriptedUiHost::CloseModeless(CDialogModel& dialog) {
    std::erase(m_modeless, &dialog);
}

void CScriptedUiHost::QueuePopupAnswer(bool ok, const std::string& text) {
    QueuePopup([ok, text](CDialogModel& d) { AnswerPopup(d, ok, text); });
}

void CScriptedUiHost::AnswerPopup(CDialogModel& d, bool ok, const std::string& text) {
    if (!text.empty()) {
        for (int id : d.ControlIds()) {
            if (d.Control(id).kind == EControlKind::Edit) {
                d.Type(id, text);
                break;
            }
        }
    }
    if (d.Ended()) {
        return;
    }
    // A popup without a Cancel button is cancelled by closing its window.
    if (!ok && !d.Has(IDCANCEL)) {
        d.EndDialog(IDCANCEL);
    } else {
        d.Click(ok ? IDOK : IDCANCEL);
    }
}

void CScriptedUiHost::QueuePopupClicks(std::vector<int> ids, bool ok) {
    QueuePopup([ids = std::move(ids), ok](CDialogModel& d) {
        for (int id : ids) {
            d.Click(id);
        }
        d.Click(ok ? IDOK : IDCANCEL);
    });
}

void CScriptedUiHost::ClearRecords() {
    m_boxes.clear();
    m_fileDialogs.clear();
    m_openedUrls.clear();
}

}  // namespace sondrix
