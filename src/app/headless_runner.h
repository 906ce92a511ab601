#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/headless_log.h"
#include "app/headless_script.h"
#include "app/headless_ui_host.h"
#include "platform/dialog_model.h"
#include "platform/message_loop.h"

namespace sondrix {

// Carries out a headless script on a main window and its tab pages as a
// person would: a control is used only when it can be seen and is enabled on
// the page that is shown, and the loop runs while the script waits, so that
// answers from the module arrive as they do in the window. Every change of
// the message line goes to the log.
class CHeadlessRunner {
  public:
    struct SWindow {
        CDialogModel* model = nullptr;
        int tabsId = 0;
        int messageLineId = 0;
        std::vector<CDialogModel*> pages;  // in tab order
    };

    CHeadlessRunner(CMessageLoop& loop, CHeadlessUiHost& ui, CHeadlessLog& log, SWindow window);
    ~CHeadlessRunner();
    CHeadlessRunner(const CHeadlessRunner&) = delete;
    CHeadlessRunner& operator=(const CHeadlessRunner&) = delete;

    // The names of the tab pages, in tab order (what a script may name).
    std::vector<std::string> PageNames() const;

    // Runs the commands to the end, going on after a failure; an error the
    // program throws ends the run. Returns 0 when every wait and check was
    // met and every step could be taken, else 1.
    int Run(const std::vector<SScriptCommand>& commands);

  private:
    void Execute(const SScriptCommand& command);
    // The dialog the command names, or null (with a failure) when there is none.
    CDialogModel* Find(const SScriptTarget& target);
    // Does the action on the control the command names when the person can
    // reach it: seen and enabled, on the page that is shown.
    using Action = std::function<void(CDialogModel& dialog, const SControl& control)>;
    void Act(const SScriptCommand& command, const Action& action);
    // Clicks a control the window never shows (the Main tab's "Color" and
    // "TTL"); a shown control is refused, so that no script passes by a
    // guard a person meets.
    void Press(const SScriptCommand& command);
    void Type(CDialogModel& dialog, const SControl& control, const SScriptCommand& command);
    void Select(CDialogModel& dialog, const SControl& control, const SScriptCommand& command);
    void Check(CDialogModel& dialog, const SControl& control, const SScriptCommand& command);
    void Row(CDialogModel& dialog, const SControl& control, const SScriptCommand& command);
    void ChangeTab(int tab);
    void Wait(const std::function<bool()>& met, uint32_t timeoutMs, const std::string& missed);
    bool MessageShown(const std::string& text);
    bool BoxShown(const std::string& text);
    void Expect(const SScriptCommand& command);
    void OnWindowChanged();
    int CurrentTab() const;
    std::string TabName(int tab) const;

    CMessageLoop& m_loop;
    CHeadlessUiHost& m_ui;
    CHeadlessLog& m_log;
    SWindow m_window;
    int m_observer = 0;
    // Texts the message line has shown, oldest first; the last is the current one.
    std::vector<std::string> m_messages;
    // Where the next wait starts looking: the message a wait-message matched
    // (it still counts), and the box after the one a wait-box matched.
    size_t m_messageCursor = 0;
    size_t m_boxCursor = 0;
    int m_checks = 0;
};

}  // namespace sondrix
