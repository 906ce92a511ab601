#include "sim/sim_loopback.h"

#include <algorithm>

namespace sondrix {

namespace {

constexpr uint32_t kDeliveryTimer = 1;

}  // namespace

CSimLoopbackDevice::CSimLoopbackDevice(CMessageLoop& loop, CSimModule& module)
    : CWindow(loop), m_module(module) {}

CSimLoopbackDevice::~CSimLoopbackDevice() {
    if (m_open) {
        m_module.SetSpontaneousSink({});
    }
}

bool CSimLoopbackDevice::Open(uint32_t baudRate, std::string&) {
    m_open = true;
    m_hostBaud = baudRate;
    m_input.clear();
    m_pending.clear();
    // What the module sends unasked comes down the line like an answer.
    m_module.SetSpontaneousSink([this](SSimReply reply) {
        if (m_hostBaud == m_module.Config().baudRate) {
            Queue(std::move(reply), Loop().NowMs());
            ArmTimer();
        }
    });
    return true;
}

void CSimLoopbackDevice::Close() {
    if (m_open) {
        m_module.SetSpontaneousSink({});
    }
    m_open = false;
    m_input.clear();
    m_pending.clear();
    KillTimer(kDeliveryTimer);
}

size_t CSimLoopbackDevice::Write(const uint8_t* bytes, size_t count) {
    if (!m_open) {
        return 0;
    }
    if (m_hostBaud != m_module.Config().baudRate) {
        return count;  // the module hears noise and stays silent
    }
    const int64_t now = Loop().NowMs();
    // The request itself takes its time on the wire before the module sees it.
    int64_t ready =
        now + (m_pacing ? static_cast<int64_t>(WireTimeUs(count, m_hostBaud) / 1000) : 0);
    for (SSimReply& reply : m_module.Receive(bytes, count)) {
        ready = Queue(std::move(reply), ready);
    }
    ArmTimer();
    return count;
}

int64_t CSimLoopbackDevice::Queue(SSimReply reply, int64_t ready) {
    if (!m_pending.empty()) {
        ready = std::max(ready, m_pending.back().dueMs);  // answers never overtake each other
    }
    ready += reply.delayMs;
    if (m_pacing) {
        ready += static_cast<int64_t>(WireTimeUs(reply.bytes.size(), m_hostBaud) / 1000);
    }
    m_pending.push_back({ready, std::move(reply.bytes)});
    return ready;
}

size_t CSimLoopbackDevice::Read(uint8_t* buffer, size_t capacity) {
    const size_t n = std::min(capacity, m_input.size());
    std::copy_n(m_input.begin(), n, buffer);
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void CSimLoopbackDevice::ArmTimer() {
    if (m_pending.empty()) {
        KillTimer(kDeliveryTimer);
        return;
    }
    const int64_t due = m_pending.front().dueMs;
    SetTimer(kDeliveryTimer, static_cast<uint32_t>(std::max<int64_t>(0, due - Loop().NowMs())));
}

void CSimLoopbackDevice::OnTimer(uint32_t id) {
    if (id != kDeliveryTimer) {
        return;
    }
    const int64_t now = Loop().NowMs();
    bool delivered = false;
    while (!m_pending.empty() && m_pending.front().dueMs <= now) {
        m_input.insert(m_input.end(), m_pending.front().bytes.begin(),
                       m_pending.front().bytes.end());
        m_pending.erase(m_pending.begin());
        delivered = true;
    }
    ArmTimer();
    if (delivered && m_handler) {
        m_handler();
    }
}

std::unique_ptr<ISerialDevice> CSimPortFactory::Create(const std::string& portName) {
    if (portName != m_portName) {
        return nullptr;
    }
    auto device = std::make_unique<CSimLoopbackDevice>(m_loop, m_module);
    device->SetPacing(m_pacing);
    m_last = device.get();
    return device;
}

}  // namespace sondrix
