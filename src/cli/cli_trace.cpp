#include "cli/cli_trace.h"

#include "app/module.h"

namespace sondrix {

CCliTrace::CCliTrace(std::string interfaceName, bool withRaw)
    : m_recorder(std::move(interfaceName), withRaw), m_raw(withRaw ? kRawCapacity : 0) {}

bool CCliTrace::Open(const std::string& path, std::string& error) {
    return m_recorder.Open(path, error);
}

void CCliTrace::Attach(CModule& module) {
    if (m_recorder.WithRaw()) {
        module.SetRawLineLog(&m_raw);
    }
}

void CCliTrace::Record(const STracedPacket& packet) {
    WriteRaw();
    m_recorder.Write(packet);
}

void CCliTrace::WriteRaw() {
    uint64_t dropped = 0;
    for (const SRawChunk& chunk : m_raw.Take(dropped)) {
        m_recorder.WriteRaw(chunk, dropped);
        dropped = 0;
    }
}

bool CCliTrace::Close(std::string& error) {
    WriteRaw();
    return m_recorder.Close(error);
}

}  // namespace sondrix
