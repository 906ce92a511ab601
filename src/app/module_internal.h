#pragma once

// The pieces of CModule its source files share.

#include <vector>

#include "app/module.h"
#include "platform/dialog_model.h"
#include "platform/ui_host.h"

namespace sondrix {

// The UI host of a program: there is nobody to ask. Boxes report, file
// dialogs and popups are declined; every question a sequence asks goes to
// the call instead (through the main dialog's answerer).
class CModuleUiHost : public IUiHost {
  public:
    EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                       const std::string& caption) override;
    std::vector<std::string> FileDialog(const SFileDialog& request) override;
    void OpenUrl(const std::string&) override {}
    int RunModal(CDialogModel& dialog) override;
    void ShowModeless(CDialogModel&) override {}
    void CloseModeless(CDialogModel&) override {}
    SScreenSize ScreenSize() const override { return {}; }
};

// The outcomes of the call under way, in order, with when each came, and
// what the module said lately of its users and its status.
class CModule::COutcomes : public IOutcomeObserver {
  public:
    struct SRecorded {
        SOutcome outcome;
        bool recovered = false;  // a failure the sequence went on from
        int64_t atMs = 0;
    };

    explicit COutcomes(CMessageLoop& loop) : m_loop(loop) {}
    void OnOutcome(const SOutcome& outcome) override;
    // The first outcome of `kind`, or none.
    const SOutcome* Find(SOutcome::EKind kind) const;
    // When the first outcome of `kind` came (loop time), 0 when none did.
    int64_t TimeOf(SOutcome::EKind kind) const;
    void RecoverLastFailure();

    std::vector<SRecorded> list;
    int64_t users = 0;
    uint32_t status = 0;

  private:
    CMessageLoop& m_loop;
};

}  // namespace sondrix
