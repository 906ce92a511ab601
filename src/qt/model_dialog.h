#pragma once

#include <QDialog>

namespace sondrix {

class CDialogModel;
class CPageView;

// A dialog window showing a model (a popup, or the About page as the About
// box). Closing it from the title bar or with Escape is the person pressing
// the model's Cancel. Run modally it ends when the model ends; shown
// modeless it stays until its owner closes it.
class CModelDialog : public QDialog {
    Q_OBJECT

  public:
    // The font is set before the controls are laid out, so they are sized
    // for it.
    CModelDialog(CDialogModel& model, const QFont& font, QWidget* parent = nullptr);

    // Runs a nested event loop until the model ends (its result) or the
    // window is closed (IDCANCEL).
    int RunModal();
    CPageView& View() { return *m_view; }

    void reject() override;

  private:
    void OnRefreshed();

    CDialogModel& m_model;
    CPageView* m_view;
    bool m_running = false;
};

}  // namespace sondrix
