#pragma once

class QWidget;

namespace sondrix {

// A combo box is as wide as its longest choice up to this many characters:
// one long row would widen a whole column of the page (the open list shows
// it all).
inline constexpr int kComboCharacters = 14;
// What an edit takes beside its characters: frame and text margins.
inline constexpr int kEditFrameAndMargins = 16;

class CDialogModel;
struct SControl;

// The widget that shows one control of `model`: a stock Qt widget by the
// control's kind, or, for the custom-drawn areas, the picture or bar the
// control stands for (the fingerprint image of the Main page, the About
// picture, the progress popup's gradient bar).
QWidget* CreateControlWidget(CDialogModel& model, const SControl& control, QWidget* parent);

}  // namespace sondrix
