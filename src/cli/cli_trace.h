#pragma once

#include <memory>
#include <string>

#include "app/trace_file.h"
#include "link/raw_line_log.h"

namespace sondrix {

class CModule;

// The trace of a command-line run: every packet as it is traced and, with
// the raw line, every chunk the port moved. The chunks wait in a bounded log
// (the receive thread fills it) and are written before the next packet and
// once more when the trace closes, after the port has been closed, so that
// even the bytes after the last good packet are in the file.
class CCliTrace {
  public:
    // What the raw log may hold between two packets: far more than a
    // second of the fastest line, so nothing is lost unless the disk stalls.
    static constexpr size_t kRawCapacity = 4 * 1024 * 1024;

    CCliTrace(std::string interfaceName, bool withRaw);
    bool Open(const std::string& path, std::string& error);
    // The module's port hands its raw line to the trace from now on, when
    // the trace wants it.
    void Attach(CModule& module);
    // Writes a packet (and the raw line that came before it).
    void Record(const STracedPacket& packet);
    // Writes the chunks of the raw line that have waited.
    void WriteRaw();
    bool Close(std::string& error);

  private:
    CTraceRecorder m_recorder;
    CRawLineLog m_raw;
};

}  // namespace sondrix
