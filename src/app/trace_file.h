#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "app/packet_tracer.h"
#include "link/packet_parser.h"
#include "link/raw_line_log.h"
#include "platform/native_file.h"

namespace sondrix {

// Writes traced packets as they come, in one of two forms:
// - pcapng, which standard capture tools open: one section, one interface of
//   link type USER0 (147, the packet's wire bytes), and one enhanced packet
//   block per packet with its time stamp (microseconds) and its direction in
//   the flags option (inbound = received from the module). With the raw line,
//   a second interface of link type USER1 (148) carries every chunk as it was
//   read or written, with a comment saying what the parser made of it;
// - plain text: a heading, then one line per packet with its time stamp and
//   the tracer's seven columns, separated by tabs (packets only).
// A trace is a stream, written in place: every block and every line goes to
// the file as it is written, so that a program that is killed or crashes
// loses at most the one being written. A write that fails (a full disk) is
// taken back and nothing more is written, so that the file ends with a whole
// block or line.
class CTraceWriter {
  public:
    enum class EFormat { Pcapng, Text };

    static constexpr uint16_t kLinkType = 147;     // LINKTYPE_USER0: packets
    static constexpr uint16_t kRawLinkType = 148;  // LINKTYPE_USER1: the raw line
    static constexpr uint32_t kPacketInterface = 0;
    static constexpr uint32_t kRawInterface = 1;
    static constexpr uint32_t kInbound = 1;  // epb_flags direction bits
    static constexpr uint32_t kOutbound = 2;

    // `interfaceName` names the line in the capture ("COM1 /dev/ttyUSB0").
    CTraceWriter(EFormat format, std::string interfaceName, bool withRaw = false);
    ~CTraceWriter();
    CTraceWriter(const CTraceWriter&) = delete;
    CTraceWriter& operator=(const CTraceWriter&) = delete;

    // Creates the file and writes its heading; false with `error` set when
    // the file cannot be written.
    bool Open(const std::string& path, std::string& error);
    void Write(const STracedPacket& packet);
    // A chunk of the raw line with its note (pcapng with the raw line only).
    void WriteRaw(const SRawChunk& chunk, const std::string& note);
    // Closes; false with the system's reason when anything was not written.
    bool Close(std::string& reason);
    const std::string& Path() const { return m_path; }

  private:
    void WritePcapngHeading();
    void WriteInterface(uint16_t linkType, const std::string& name);
    void WritePacketBlock(uint32_t interface, int64_t timeUs, int direction,
                          const std::vector<uint8_t>& bytes, const std::string& comment);
    void WriteBlock(uint32_t type, const std::string& body);
    void Emit(const std::string& bytes);

    EFormat m_format;
    std::string m_interface;
    bool m_withRaw;
    std::string m_path;
    CNativeFile m_file;
    uint64_t m_written = 0;  // bytes of the whole blocks or lines in the file
    std::string m_failure;   // the reason of the first write that failed
};

// The files a saved trace goes to: a path ending in ".txt" gets the text
// form only; any other path gets the pcapng form, and the text form beside
// it under the same name with ".txt" added.
struct STracePaths {
    std::string pcapng;  // empty for a text-only trace
    std::string text;
};
STracePaths TracePaths(const std::string& path);

// What the packet parser makes of the raw line, chunk by chunk, for the
// note beside each raw block: "3 bytes skipped; CMD_GET_STATUS",
// "CMD_GET_STATUS: bad header checksum", "packet continues". Each direction
// is read by a parser of its own, as the module and the program read them.
class CRawLineNotes {
  public:
    std::string Note(int direction, const std::vector<uint8_t>& bytes);

  private:
    struct SLine {
        CPacketParser parser;
        size_t pending = 0;  // bytes taken since the current start marker
    };
    SLine m_lines[2];
};

// A trace written packet by packet to the files TracePaths names, with the
// raw line as a second interface of the pcapng when asked for.
class CTraceRecorder {
  public:
    explicit CTraceRecorder(std::string interfaceName, bool withRaw = false)
        : m_interface(std::move(interfaceName)), m_withRaw(withRaw) {}
    bool Open(const std::string& path, std::string& error);
    void Write(const STracedPacket& packet);
    // `droppedBefore`: bytes of the line just before this chunk that were
    // not kept (the raw log was full); the note says so.
    void WriteRaw(const SRawChunk& chunk, uint64_t droppedBefore = 0);
    // Closes both files; false with `error` naming every file that was cut
    // short (a full disk cuts both) and the system's reason.
    bool Close(std::string& error);
    bool WithRaw() const { return m_withRaw; }

  private:
    std::string m_interface;
    bool m_withRaw;
    std::unique_ptr<CTraceWriter> m_pcapng;
    std::unique_ptr<CTraceWriter> m_text;
    std::unique_ptr<CRawLineNotes> m_notes;
};

// Saves packets already traced (the tracer's rows) in one go; given `raw`,
// the raw line goes with them as the second interface, all in time order.
bool SaveTrace(const std::string& path, const std::deque<STracedPacket>& packets,
               const std::string& interfaceName, std::string& error,
               const std::vector<SRawChunk>* raw = nullptr);

}  // namespace sondrix
