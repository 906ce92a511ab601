#pragma once

#include <QIcon>

class QPainter;
class QRectF;
class QColor;

namespace sondrix {

// The program's pictures are drawn, not shipped: they stay sharp at any
// size and need no resource files.

// Concentric ridges closing round a core, the program's emblem.
void DrawFingerprintMark(QPainter& painter, const QRectF& box, const QColor& colour);

// The 16 x 16 icon of a tab, in tab order (Main .. About); an unknown tab
// gets an empty icon.
QIcon TabIcon(int tab);
// The window icon.
QIcon AppIcon();

}  // namespace sondrix
