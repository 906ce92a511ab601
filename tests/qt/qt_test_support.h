#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QApplication;
class QWidget;

namespace sondrix::test {

// The one application of the widget tests, on the offscreen platform so no
// window reaches a screen. Every test that makes widgets calls it first.
QApplication& TestApp();

// Writes a PNG of the widget into the build's screenshot folder and returns
// its path, for a person to look at.
QString SaveScreenshot(QWidget& widget, const QString& name);

// The person clicks a check box or radio on its indicator, at the left (a
// stretched button takes no click in its empty right part).
void ClickIndicator(QAbstractButton* button);

// Runs `action` once on the next modal window (box, popup or file dialog),
// from inside the nested loop that runs it.
void WhenModalOpens(std::function<void(QWidget*)> action);

}  // namespace sondrix::test
