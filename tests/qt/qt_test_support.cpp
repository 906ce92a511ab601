#include "qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>

namespace sondrix::test {

namespace {

// The offscreen platform says so each time a window asks it for something it
// has no use for; that is no news in a test.
QtMessageHandler g_previousHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) {
        return;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

// The application lives from the first test to the last: made on first
// use, and deleted when the test run ends, before the program's static
// objects go (Qt's own statics must outlive it).
std::unique_ptr<QApplication> g_app;

class CAppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { g_app.reset(); }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new CAppEnvironment);

}  // namespace

QApplication& TestApp() {
    if (!g_app) {
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_app = std::make_unique<QApplication>(argc, argv);
        g_previousHandler = qInstallMessageHandler(QuietHandler);
    }
    return *g_app;
}

void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

QString SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(SONDRIX_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    // Pictures at another scale than 100 % say so: "main_window_main@2x.png".
    const qreal scale = widget.devicePixelRatioF();
    const QString suffix = scale == 1.0 ? QString() : QStringLiteral("@%1x").arg(scale);
    const QString path = folder + QLatin1Char('/') + name + suffix + QStringLiteral(".png");
    // Layouts settle in posted events.
    QApplication::processEvents();
    widget.grab().save(path);
    return path;
}

void WhenModalOpens(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

}  // namespace sondrix::test
