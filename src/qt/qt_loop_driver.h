#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>

namespace sondrix {

class CMessageLoop;

// Drives the program's message loop from the Qt event loop. The loop's wake
// hook (called from any thread when a message is posted or the timer
// schedule moves) queues one pump on the Qt loop; a single-shot timer waits
// for the next window timer. Nothing polls: an idle program sleeps in Qt
// until a message arrives or its own timer is due. Each pump is one turn of
// the program's loop, so a queue that never runs empty still leaves Qt its
// input and painting between two turns. Modal Qt dialogs run a
// nested Qt loop, so the pump keeps running while a box is open.
//
// Anything that may post to the loop from another thread (the receive
// thread) must be stopped before the driver goes.
class CQtLoopDriver : public QObject {
    Q_OBJECT

  public:
    explicit CQtLoopDriver(CMessageLoop& loop, QObject* parent = nullptr);
    ~CQtLoopDriver() override;

  private:
    void RequestPump();
    void Pump();

    CMessageLoop& m_loop;
    QTimer m_timer;
    // Set while a pump waits in Qt's queue, so a burst of posts queues one.
    std::atomic<bool> m_pumpQueued{false};
};

}  // namespace sondrix
