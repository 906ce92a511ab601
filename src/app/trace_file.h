#pragma once

#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <string>

#include "app/packet_tracer.h"

namespace sondrix {

// Writes traced packets as they come, in one of two forms:
// - pcapng, which standard capture tools open: one section, one interface of
//   link type USER0 (147, the packet's wire bytes), and one enhanced packet
//   block per packet with its time stamp (microseconds) and its direction in
//   the flags option (inbound = received from the module);
// - plain text: a heading, then one line per packet with its time stamp and
//   the tracer's seven columns, separated by tabs.
class CTraceWriter {
  public:
    enum class EFormat { Pcapng, Text };

    static constexpr uint16_t kLinkType = 147;  // LINKTYPE_USER0
    static constexpr uint32_t kInbound = 1;     // epb_flags direction bits
    static constexpr uint32_t kOutbound = 2;

    // `interfaceName` names the line in the capture ("COM1 /dev/ttyUSB0").
    CTraceWriter(EFormat format, std::string interfaceName);
    ~CTraceWriter();
    CTraceWriter(const CTraceWriter&) = delete;
    CTraceWriter& operator=(const CTraceWriter&) = delete;

    // Creates the file and writes its heading; false with `error` set when
    // the file cannot be written.
    bool Open(const std::string& path, std::string& error);
    void Write(const STracedPacket& packet);
    // Flushes and closes; false with `error` when anything was not written.
    bool Close(std::string& error);

  private:
    void WritePcapngHeading();
    void WriteBlock(uint32_t type, const std::string& body);

    EFormat m_format;
    std::string m_interface;
    std::string m_path;
    std::ofstream m_file;
};

// The files a saved trace goes to: a path ending in ".txt" gets the text
// form only; any other path gets the pcapng form, and the text form beside
// it under the same name with ".txt" added.
struct STracePaths {
    std::string pcapng;  // empty for a text-only trace
    std::string text;
};
STracePaths TracePaths(const std::string& path);

// A trace written packet by packet to the files TracePaths names.
class CTraceRecorder {
  public:
    explicit CTraceRecorder(std::string interfaceName) : m_interface(std::move(interfaceName)) {}
    bool Open(const std::string& path, std::string& error);
    void Write(const STracedPacket& packet);
    bool Close(std::string& error);

  private:
    std::string m_interface;
    std::unique_ptr<CTraceWriter> m_pcapng;
    std::unique_ptr<CTraceWriter> m_text;
};

// Saves packets already traced (the tracer's rows) in one go.
bool SaveTrace(const std::string& path, const std::deque<STracedPacket>& packets,
               const std::string& interfaceName, std::string& error);

}  // namespace sondrix
