#include "platform/scripted_ui_host.h"

namespace sondrix {

EAnswer CScriptedUiHost::MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                                    const std::string& caption) {
    EAnswer answer = buttons == EButtons::YesNo ? EAnswer::Yes : EAnswer::Ok;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
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

void CScriptedUiHost::ClearRecords() {
    m_boxes.clear();
    m_fileDialogs.clear();
    m_openedUrls.clear();
}

}  // namespace sondrix
