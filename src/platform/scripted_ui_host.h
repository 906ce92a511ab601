#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui_host.h"

namespace sondrix {

// A UI host that answers from a script and records everything it was asked.
// Unscripted boxes get the affirmative answer (OK or Yes); unscripted file
// dialogs are cancelled.
class CScriptedUiHost : public IUiHost {
  public:
    struct SBox {
        std::string text;
        EIcon icon;
        EButtons buttons;
        std::string caption;
        EAnswer answer;
    };

    EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                       const std::string& caption) override;
    using IUiHost::MessageBox;
    std::vector<std::string> FileDialog(const SFileDialog& request) override;
    void OpenUrl(const std::string& address) override { m_openedUrls.push_back(address); }
    int RunModal(CDialogModel& dialog) override;
    void ShowModeless(CDialogModel& dialog) override;
    void CloseModeless(CDialogModel& dialog) override;
    SScreenSize ScreenSize() const override { return m_screen; }

    void QueueAnswer(EAnswer answer) { m_answers.push_back(answer); }
    // Answers the boxes no queued answer is left for (a front end asking
    // its person); without one they get the affirmative answer.
    using Answerer = std::function<EAnswer(const std::string& text, EButtons buttons)>;
    void SetAnswerer(Answerer answerer) { m_answerer = std::move(answerer); }
    void QueueFiles(std::vector<std::string> paths) { m_files.push_back(std::move(paths)); }
    // What the person does in the next modal popup. Unscripted popups are
    // confirmed with OK as they stand.
    using PopupAction = std::function<void(CDialogModel&)>;
    void QueuePopup(PopupAction action) { m_popups.push_back(std::move(action)); }
    // Forgets what was queued for popups that never came.
    void DropQueuedPopups() { m_popups.clear(); }
    // Types `text` into the popup's first edit (when not empty) and presses
    // OK, or presses Cancel (closes the window when it has no Cancel).
    void QueuePopupAnswer(bool ok, const std::string& text = {});
    // Does in `popup` what QueuePopupAnswer queues.
    static void AnswerPopup(CDialogModel& popup, bool ok, const std::string& text);
    // Acts in the popups nothing is queued for (a front end asking its person).
    void SetPopupAnswerer(PopupAction answerer) { m_popupAnswerer = std::move(answerer); }
    // Clicks the given controls in order, then OK or Cancel.
    void QueuePopupClicks(std::vector<int> ids, bool ok);
    void SetScreenSize(SScreenSize size) { m_screen = size; }
    // Observes every box as it is shown (the headless driver prints them).
    void SetBoxObserver(std::function<void(const SBox&)> observer) {
        m_observer = std::move(observer);
    }

    const std::vector<SBox>& Boxes() const { return m_boxes; }
    const std::vector<SFileDialog>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<std::string>& OpenedUrls() const { return m_openedUrls; }
    // Names of the modal popups run so far, and the modeless ones now open.
    const std::vector<std::string>& ModalPopups() const { return m_modalPopups; }
    const std::vector<CDialogModel*>& OpenModeless() const { return m_modeless; }
    // The text of the most recent box, or empty.
    std::string LastBoxText() const {
        return m_boxes.empty() ? std::string() : m_boxes.back().text;
    }
    void ClearRecords();

  private:
    std::deque<EAnswer> m_answers;
    std::deque<std::vector<std::string>> m_files;
    std::deque<PopupAction> m_popups;
    std::vector<std::string> m_modalPopups;
    std::vector<CDialogModel*> m_modeless;
    std::vector<SBox> m_boxes;
    std::vector<SFileDialog> m_fileDialogs;
    std::vector<std::string> m_openedUrls;
    SScreenSize m_screen;
    std::function<void(const SBox&)> m_observer;
    Answerer m_answerer;
    PopupAction m_popupAnswerer;
};

}  // namespace sondrix
