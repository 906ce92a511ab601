#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <string>

#include "platform/dialog_model.h"

class QFontMetrics;

namespace sondrix {

// Keeps widgets in step with the controls of a dialog model: every change
// the model reports is read back into the widgets, and the person's clicks,
// typing and choices go to the model's Click, Type and Select. Setting a
// widget from the model never reaches the model again. The binder holds no
// behaviour: what a click does is the model's business.
class CControlBinder : public QObject {
    Q_OBJECT

  public:
    // `window` (may be null) is enabled while the model's window is.
    CControlBinder(CDialogModel& model, QWidget* window, QObject* parent = nullptr);
    ~CControlBinder() override;

    CDialogModel& Model() const { return m_model; }

    // Shows control `id` in `widget`, with `label` (optional) shown and
    // enabled with it. Buttons, check boxes and radios click, line edits
    // type, combo boxes and tab bars select, pictures click on a double click.
    void Bind(int id, QWidget* widget, QWidget* label = nullptr);
    QWidget* Widget(int id) const;

    // Reads control `id` into its widget; 0 reads every control and the
    // window state.
    void Refresh(int id);
    // The person clicks `id` (the close box of a dialog is its Cancel).
    void Click(int id);

  signals:
    // After every refresh, with the id the model reported.
    void refreshed(int id);

  private:
    struct SBinding {
        QPointer<QWidget> widget;
        QPointer<QWidget> label;
    };

    void Connect(int id, QWidget* widget);
    void Apply(const SControl& control, const SBinding& binding);
    // Runs the person's action unless the change came from the model, then
    // reads the control back: the model may refuse or rewrite it.
    template <class Action>
    void Forward(int id, Action action);

    CDialogModel& m_model;
    QPointer<QWidget> m_window;
    std::map<int, SBinding> m_bindings;
    int m_applying = 0;
    CDialogObserver m_watch;
};

// Breaks a tooltip into lines no wider than `maxWidth` pixels, at spaces;
// a single longer word stays whole on its line.
QString WrapTooltip(const std::string& text, const QFontMetrics& metrics, int maxWidth);

}  // namespace sondrix
