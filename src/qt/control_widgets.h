#pragma once

class QWidget;

namespace sondrix {

class CDialogModel;
struct SControl;

// The widget that shows one control of `model`: a stock Qt widget by the
// control's kind, or, for the custom-drawn areas, the picture or bar the
// control stands for (the fingerprint image of the Main page, the About
// picture, the progress popup's gradient bar).
QWidget* CreateControlWidget(CDialogModel& model, const SControl& control, QWidget* parent);

}  // namespace sondrix
