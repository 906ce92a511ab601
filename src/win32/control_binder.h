#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/dialog_model.h"
#include "ui/page_layout.h"
#include "win32/win32_handles.h"

namespace sondrix {

class CListControl;

// Keeps the system's controls of a window in step with the controls of a
// dialog model: every change the model reports is read back into the
// controls, and the person's clicks, typing and choices go to the model's
// Click, Type and Select. Setting a control from the model never reaches
// the model again. The binder holds no behaviour: what a click does is the
// model's business. It must not outlive the model or its parent window.
class CControlBinder final : public ILayoutMetrics {
  public:
    // Controls are made as children of `parent` in `font`; `scale` is the
    // window's DPI over 96.
    CControlBinder(CDialogModel& model, WinHandle parent, FontHandle font, double scale);
    ~CControlBinder() override;
    CControlBinder(const CControlBinder&) = delete;
    CControlBinder& operator=(const CControlBinder&) = delete;

    CDialogModel& Model() const { return m_model; }
    double Scale() const override { return m_scale; }
    FontHandle Font() const { return m_font; }

    // Makes the system's control for model control `id` (hidden until it is
    // placed), with its caption when it has one, and binds it.
    WinHandle Create(int id);
    WinHandle Window(int id) const;
    WinHandle Label(int id) const;
    CListControl* List(int id) const;
    // Called when a control is shown or hidden, so its window can lay out
    // its page again.
    void OnVisibilityChange(std::function<void()> relayout) { m_relayout = std::move(relayout); }
    // `window` (may be null) is enabled while the model's window is.
    void SetWindowToEnable(WinHandle window) { m_enableWindow = window; }

    // Reads control `id` into its window; 0 reads every control and the
    // window's state.
    void Refresh(int id);
    // The person clicks `id`.
    void Click(int id);

    // The parent's messages from its controls; true when one was handled
    // (`result` holds the answer).
    bool OnCommand(unsigned long long wparam, long long lparam);
    bool OnNotify(long long lparam, long long& result);
    bool OnControlColour(DcHandle dc, WinHandle control, long long& result);

    // ILayoutMetrics
    SLayoutSize ControlSize(const CDialogModel& model, const SControl& control) const override;
    bool Stretches(const CDialogModel& model, const SControl& control) const override;
    SLayoutSize LabelSize(const std::string& text) const override;
    SLayoutMargins GroupFrame(const std::string& caption) const override;

    // The width and height of `text` in `font` (the binder's when null).
    SLayoutSize TextSize(const std::string& text, FontHandle font = nullptr) const;
    int Scaled(double length) const;

  private:
    struct SBinding {
        WinHandle window = nullptr;
        WinHandle label = nullptr;
        std::unique_ptr<CListControl> list;
        std::vector<std::string> items;  // what a combo shows now
        bool visible = false;
    };

    void Apply(const SControl& control, SBinding& binding);
    template <class Action>
    void Forward(int id, Action action);
    std::function<void(DcHandle, const SLayoutRect&)> PainterFor(const SControl& control);

    CDialogModel& m_model;
    WinHandle m_parent;
    FontHandle m_font;
    FontHandle m_versionFont = nullptr;
    double m_scale;
    WinHandle m_tooltips = nullptr;
    WinHandle m_enableWindow = nullptr;
    std::map<int, SBinding> m_bindings;
    std::function<void()> m_relayout;
    int m_applying = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::unique_ptr<CDialogObserver> m_watch;
};

// Registers the window class of the custom-drawn areas (pictures, the
// gradient bar) once; their painter lives with the window.
void RegisterPictureClass();
// Makes a custom-drawn area; a double click on it is a click of `id`.
WinHandle CreatePicture(WinHandle parent, int id, bool sunken,
                        std::function<void(DcHandle, const SLayoutRect&)> painter);

}  // namespace sondrix
