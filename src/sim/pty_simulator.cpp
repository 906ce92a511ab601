#include "sim/pty_simulator.h"

#include <chrono>

#include "sim/sim_loopback.h"

namespace sondrix {

CPtySimulator::CPtySimulator(SSimConfig config) : m_module(config) {}

CPtySimulator::~CPtySimulator() {
    Stop();
}

uint32_t CPtySimulator::ModuleRate() {
    uint32_t baud = 0;
    WithModule([&](CSimModule& module) { baud = module.Config().baudRate; });
    return baud;
}

bool CPtySimulator::Start(std::string& error) {
    return Serve(m_line.Open(ModuleRate(), error));
}

bool CPtySimulator::StartOn(int master, std::string& error) {
    return Serve(m_line.Adopt(master, ModuleRate(), error));
}

bool CPtySimulator::Serve(bool opened) {
    if (!opened) {
        return false;
    }
    // What the module says of its own accord goes out at once.
    WithModule([&](CSimModule& module) {
        module.SetSpontaneousSink(
            [this](SSimReply reply) { SendPaced(reply.bytes, m_module.Config().baudRate); });
    });
    m_running = true;
    m_thread = std::thread(&CPtySimulator::Run, this);
    return true;
}

void CPtySimulator::Stop() {
    WithModule([](CSimModule& module) { module.SetSpontaneousSink({}); });
    if (m_running.exchange(false)) {
        m_line.Wake();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_line.Close();
}

void CPtySimulator::SendPaced(const std::vector<uint8_t>& bytes, uint32_t baudRate) {
    // Answers and what the module sends of its own accord never interleave.
    std::lock_guard lock(m_writeMutex);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    constexpr size_t kSlice = 64;
    for (size_t sent = 0; sent < bytes.size() && m_running; sent += kSlice) {
        const size_t n = std::min(kSlice, bytes.size() - sent);
        if (m_pacing) {
            // Release each slice at the moment its last byte would be on the wire.
            const auto due = start + std::chrono::microseconds(WireTimeUs(sent + n, baudRate));
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
            m_line.Pause(wait.count());
        }
        if (!m_line.Write(bytes.data() + sent, n)) {
            return;
        }
    }
}

void CPtySimulator::Run() {
    uint8_t buffer[4096];
    while (m_running) {
        const long n = m_line.Read(buffer, sizeof buffer);
        if (n < 0) {
            return;
        }
        if (n == 0) {
            continue;
        }
        // The slave held open shows the line settings the host made.
        const uint32_t hostSpeed = m_line.HostLineSpeed();
        std::vector<SSimReply> replies;
        uint32_t ownSpeed = 0;
        {
            std::lock_guard lock(m_moduleMutex);
            ownSpeed = m_module.Config().baudRate;
            if (hostSpeed == ownSpeed) {
                replies = m_module.Receive(buffer, static_cast<size_t>(n));
            }
        }
        if (m_pacing && !replies.empty()) {
            // The request itself needed its time on the wire before the
            // module could act on it.
            std::this_thread::sleep_for(
                std::chrono::microseconds(WireTimeUs(static_cast<size_t>(n), ownSpeed)));
        }
        for (const SSimReply& reply : replies) {
            if (!m_line.Pause(reply.delayMs)) {
                return;
            }
            SendPaced(reply.bytes, ownSpeed);
        }
    }
}

}  // namespace sondrix
