#pragma once

#include <string>

#include "platform/dialog_model.h"
#include "platform/ui_host.h"
#include "ui/gradient_progress_ctrl.h"

namespace sondrix {

// The modeless progress popup with the gradient bar. While it exists its
// owner is disabled.
class CPopupProgressDlg : public CDialogModel {
  public:
    static constexpr int kText = 1129;
    static constexpr int kBar = 1128;
    explicit CPopupProgressDlg(IUiHost& ui);

    void Create(CDialogModel* owner);
    // Closes the popup (its own Cancel, or the owner when the work is done).
    void Destroy();
    bool Exists() const { return m_exists; }
    void SetCaution();
    // Sets the bar and tells the view to repaint it.
    void SetRange(int lower, int upper);
    void SetPos(int position);
    void StepIt();
    void OnInitDialog() override;

    CGradientProgressCtrl bar;
    CDialogModel* owner = nullptr;
    std::string text;

  protected:
    void OnCommand(int id) override;

  private:
    IUiHost& m_ui;
    bool m_exists = false;
};

}  // namespace sondrix
