#pragma once

#include <string>
#include <vector>

#include "app/headless_log.h"
#include "platform/scripted_ui_host.h"

namespace sondrix {

// The UI host of the headless driver: answers from the script's queues as the
// scripted host does, and writes every box, popup, file dialog and opened
// address to the log, marking the answers that came from the script.
// Why a person could not use the control (missing, hidden, disabled, or its
// dialog disabled); empty when they could.
std::string Unusable(const CDialogModel& dialog, int id);

class CHeadlessUiHost : public CScriptedUiHost {
  public:
    explicit CHeadlessUiHost(CHeadlessLog& log) : m_log(log) {}

    EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                       const std::string& caption) override;
    using IUiHost::MessageBox;
    std::vector<std::string> FileDialog(const SFileDialog& request) override;
    void OpenUrl(const std::string& address) override;
    int RunModal(CDialogModel& dialog) override;
    void ShowModeless(CDialogModel& dialog) override;
    void CloseModeless(CDialogModel& dialog) override;

    // The script's answers for what comes next, counted so that the log can
    // tell them from the defaults.
    void ScriptAnswer(EAnswer answer);
    void ScriptPopupAnswer(bool ok, const std::string& text);
    void ScriptPopupClicks(std::vector<int> ids, bool ok);
    void ScriptFiles(std::vector<std::string> paths);
    // Notes the script's answers that nothing asked for.
    void ReportUnused();

  private:
    // Takes one of the script's answers if any is waiting; true when it did.
    static bool Take(size_t& queued);

    CHeadlessLog& m_log;
    size_t m_answers = 0;
    size_t m_popups = 0;
    size_t m_files = 0;
};

}  // namespace sondrix
