#pragma once

#include <cstdint>
#include <string>

#include "ui/gradient_progress_ctrl.h"
#include "ui/page_layout.h"
#include "win32/win32_handles.h"

namespace sondrix {

// The window's pictures drawn with GDI, in the colours of the Qt window:
// they stay sharp at any DPI and need no bitmap resources.

// The program's emblem: ridges closing round a core, in a square `box`
// wide; `colour` is 0x00BBGGRR as GDI takes it.
void PaintFingerprintMark(DcHandle dc, double x, double y, double box, unsigned long colour);
// The banner above the tabs: the product name on a painted sky.
void PaintHeader(DcHandle dc, const SLayoutRect& area, const std::wstring& product);
// The About page's picture: the emblem on painted paper.
void PaintAboutPicture(DcHandle dc, const SLayoutRect& area);
// The Main page's fingerprint: `pixels` (width x height grey values, rows top
// to bottom, no padding) stretched over the whole area with half-tone
// smoothing; without pixels, the placeholder fingertip.
void PaintFingerprintImage(DcHandle dc, const SLayoutRect& area, const uint8_t* pixels, int width,
                           int height);
// A gradient progress bar: the bands and text its own arithmetic computes.
void PaintGradientBar(DcHandle dc, const SLayoutRect& area, const CGradientProgressCtrl& bar);
// The icon of a tab (Main .. About) in a `size` square on `background`.
void PaintTabIcon(DcHandle dc, int tab, int size, unsigned long background);

}  // namespace sondrix
