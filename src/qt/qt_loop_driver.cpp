#include "qt/qt_loop_driver.h"

#include <algorithm>
#include <limits>

#include "platform/message_loop.h"

namespace sondrix {

CQtLoopDriver::CQtLoopDriver(CMessageLoop& loop, QObject* parent) : QObject(parent), m_loop(loop) {
    m_timer.setSingleShot(true);
    // A coarse timer may fire a little early, which would only find the
    // window timer not yet due and cost a second wake-up.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CQtLoopDriver::Pump);
    m_loop.SetWakeHook([this] { RequestPump(); });
    // Whatever was queued or armed before the driver existed.
    RequestPump();
}

CQtLoopDriver::~CQtLoopDriver() {
    m_loop.SetWakeHook({});
}

void CQtLoopDriver::RequestPump() {
    if (!m_pumpQueued.exchange(true)) {
        QMetaObject::invokeMethod(this, &CQtLoopDriver::Pump, Qt::QueuedConnection);
    }
}

void CQtLoopDriver::Pump() {
    // Cleared before delivering, so a post that races with the delivery
    // queues another pump instead of being left behind.
    m_pumpQueued = false;
    // One turn, then Qt's own: input and painting wait for no more than what
    // was queued when the pump began, however fast the module answers.
    m_loop.ProcessPending();
    if (m_loop.HasPostedMessages()) {
        RequestPump();
    }
    if (const auto due = m_loop.MsUntilNextTimer()) {
        const int64_t ms = std::min<int64_t>(*due, std::numeric_limits<int>::max());
        m_timer.start(static_cast<int>(ms));
    } else {
        m_timer.stop();
    }
}

}  // namespace sondrix
