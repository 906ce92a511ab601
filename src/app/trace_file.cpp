#include "app/trace_file.h"

#include "app/packet_summary.h"
#include "link/packet_parser.h"
#include "platform/native_file.h"
#include "platform/version.h"

namespace sondrix {

namespace {

// pcapng is written in the byte order of the section's magic; we choose
// little-endian, whatever the host.
void PutLE(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void Pad4(std::string& out) {
    while (out.size() % 4 != 0) {
        out.push_back('\0');
    }
}

void PutOption(std::string& out, uint16_t code, const std::string& value) {
    PutLE(out, code, 2);
    PutLE(out, value.size(), 2);
    out += value;
    Pad4(out);
}

void PutEndOfOptions(std::string& out) {
    PutLE(out, 0, 4);
}

constexpr uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr uint32_t kInterfaceDescription = 0x00000001;
constexpr uint32_t kEnhancedPacket = 0x00000006;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint16_t kOptionUserApplication = 4;
constexpr uint16_t kOptionInterfaceName = 2;
constexpr uint16_t kOptionTimeResolution = 9;
constexpr uint16_t kOptionPacketFlags = 2;
constexpr uint16_t kOptionComment = 1;

std::string TextLine(const STracedPacket& packet) {
    std::string line = CPacketTracer::TimeText(packet.timeUs);
    // The row shows what the parser makes of the bytes, as the list did.
    CPacketParser parser;
    size_t used = 0;
    const auto event = parser.Feed(packet.bytes.data(), packet.bytes.size(), used);
    if (event == CPacketParser::EEvent::Packet) {
        for (const std::string& cell : CPacketTracer::RowCells(parser.rxPacket, packet.direction)) {
            line += '\t';
            line += cell;
        }
    }
    line += '\n';
    return line;
}

}  // namespace

CTraceWriter::CTraceWriter(EFormat format, std::string interfaceName, bool withRaw)
    : m_format(format), m_interface(std::move(interfaceName)), m_withRaw(withRaw) {}

CTraceWriter::~CTraceWriter() = default;

bool CTraceWriter::Open(const std::string& path, std::string& error) {
    m_path = path;
    m_failure.clear();
    m_written = 0;
    if (!m_file.Open(PathFromUtf8(path), CNativeFile::EMode::Truncate)) {
        error = "cannot write the trace " + path + ": " + LastSystemErrorText();
        return false;
    }
    if (m_format == EFormat::Pcapng) {
        WritePcapngHeading();
    } else {
        Emit("TIME\tDIR\tCOMMAND\tPARAM1\tPARAM2\tDATA SIZE\tERR CODE\tDATA\n");
    }
    return true;
}

void CTraceWriter::Emit(const std::string& bytes) {
    // Each block or line reaches the file at once: a trace is complete up to
    // the last packet, however the program ends.
    if (!m_file.IsOpen() || !m_failure.empty()) {
        return;
    }
    if (m_file.WriteAll({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()})) {
        m_written += bytes.size();
        return;
    }
    // The part of a block that fit goes again: the file ends with the last
    // whole block or line, which every reader takes.
    m_failure = LastSystemErrorText();
    m_file.TruncateTo(m_written);
}

void CTraceWriter::WriteBlock(uint32_t type, const std::string& body) {
    const uint64_t total = 12 + body.size();
    std::string block;
    PutLE(block, type, 4);
    PutLE(block, total, 4);
    block += body;
    PutLE(block, total, 4);
    Emit(block);
}

void CTraceWriter::WriteInterface(uint16_t linkType, const std::string& name) {
    std::string interface;
    PutLE(interface, linkType, 2);
    PutLE(interface, 0, 2);
    PutLE(interface, 0, 4);  // no snap length: every byte is kept
    PutOption(interface, kOptionInterfaceName, name);
    PutOption(interface, kOptionTimeResolution, std::string(1, '\x06'));  // microseconds
    PutEndOfOptions(interface);
    WriteBlock(kInterfaceDescription, interface);
}

void CTraceWriter::WritePcapngHeading() {
    std::string section;
    PutLE(section, kByteOrderMagic, 4);
    PutLE(section, 1, 2);  // version 1.0
    PutLE(section, 0, 2);
    PutLE(section, ~uint64_t{0}, 8);  // section length not given
    PutOption(section, kOptionUserApplication, VersionLine("sondrix"));
    PutEndOfOptions(section);
    WriteBlock(kSectionHeader, section);
    WriteInterface(kLinkType, m_interface);
    if (m_withRaw) {
        WriteInterface(kRawLinkType, m_interface + " raw line");
    }
}

void CTraceWriter::WritePacketBlock(uint32_t interface, int64_t timeUs, int direction,
                                    const std::vector<uint8_t>& bytes, const std::string& comment) {
    std::string body;
    const uint64_t time = static_cast<uint64_t>(timeUs);
    PutLE(body, interface, 4);
    PutLE(body, time >> 32, 4);
    PutLE(body, time & 0xFFFFFFFFu, 4);
    PutLE(body, bytes.size(), 4);
    PutLE(body, bytes.size(), 4);
    body.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    Pad4(body);
    if (!comment.empty()) {
        PutOption(body, kOptionComment, comment.substr(0, 0xFFFF));
    }
    std::string flags;
    PutLE(flags, direction == 0 ? kOutbound : kInbound, 4);
    PutOption(body, kOptionPacketFlags, flags);
    PutEndOfOptions(body);
    WriteBlock(kEnhancedPacket, body);
}

void CTraceWriter::Write(const STracedPacket& packet) {
    if (m_format == EFormat::Text) {
        Emit(TextLine(packet));
        return;
    }
    WritePacketBlock(kPacketInterface, packet.timeUs, packet.direction, packet.bytes, {});
}

void CTraceWriter::WriteRaw(const SRawChunk& chunk, const std::string& note) {
    if (m_format == EFormat::Pcapng && m_withRaw) {
        WritePacketBlock(kRawInterface, chunk.timeUs, chunk.direction, chunk.bytes, note);
    }
}

bool CTraceWriter::Close(std::string& reason) {
    if (!m_file.IsOpen()) {
        return true;
    }
    if (!m_file.Close() && m_failure.empty()) {
        m_failure = LastSystemErrorText();
    }
    if (!m_failure.empty()) {
        reason = m_failure;
    }
    return m_failure.empty();
}

STracePaths TracePaths(const std::string& path) {
    const std::string suffix = ".txt";
    const bool textOnly = path.size() >= suffix.size() &&
                          path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return textOnly ? STracePaths{{}, path} : STracePaths{path, path + suffix};
}

std::string CRawLineNotes::Note(int direction, const std::vector<uint8_t>& bytes) {
    SLine& line = m_lines[direction == 0 ? 0 : 1];
    CPacketParser& parser = line.parser;
    std::string note;
    const auto add = [&note](const std::string& text) {
        note += note.empty() ? text : "; " + text;
    };
    size_t skipped = 0;
    const auto flushSkipped = [&] {
        if (skipped != 0) {
            add(std::to_string(skipped) + (skipped == 1 ? " byte" : " bytes") + " skipped");
            skipped = 0;
        }
    };
    for (const uint8_t b : bytes) {
        const bool wasSearching = parser.Idle();
        const CPacketParser::EEvent event = parser.Feed(b);
        if (event == CPacketParser::EEvent::None) {
            if (parser.Idle()) {
                // Not (or no longer) a packet: every byte since its start is lost.
                skipped += wasSearching ? 1 : line.pending + 1;
                line.pending = 0;
            } else {
                if (wasSearching) {
                    flushSkipped();
                }
                ++line.pending;
            }
            continue;
        }
        line.pending = 0;
        const std::string name = CommandName(parser.rxPacket.command);
        switch (event) {
            case CPacketParser::EEvent::Packet:
                add(name);
                break;
            case CPacketParser::EEvent::HeaderChecksumError:
                add(name + ": bad header checksum");
                break;
            case CPacketParser::EEvent::DataChecksumError:
                add(name + ": bad data checksum");
                break;
            case CPacketParser::EEvent::Oversize:
                add(name + ": data size " + std::to_string(parser.rxPacket.dataSize) +
                    " too large, header dropped");
                break;
            case CPacketParser::EEvent::ShortPacket:
                add("short packet " + HexText(parser.shortPacket, 6));
                break;
            case CPacketParser::EEvent::ShortChecksumError:
                add("short packet " + HexText(parser.shortPacket, 6) + ": bad checksum");
                break;
            case CPacketParser::EEvent::None:
                break;
        }
    }
    flushSkipped();
    if (!parser.Idle()) {
        add("packet continues");
    }
    return note;
}

bool CTraceRecorder::Open(const std::string& path, std::string& error) {
    const STracePaths paths = TracePaths(path);
    if (m_withRaw) {
        m_notes = std::make_unique<CRawLineNotes>();
    }
    if (!paths.pcapng.empty()) {
        m_pcapng =
            std::make_unique<CTraceWriter>(CTraceWriter::EFormat::Pcapng, m_interface, m_withRaw);
        if (!m_pcapng->Open(paths.pcapng, error)) {
            return false;
        }
    }
    m_text = std::make_unique<CTraceWriter>(CTraceWriter::EFormat::Text, m_interface);
    return m_text->Open(paths.text, error);
}

void CTraceRecorder::Write(const STracedPacket& packet) {
    for (auto* writer : {m_pcapng.get(), m_text.get()}) {
        if (writer != nullptr) {
            writer->Write(packet);
        }
    }
}

void CTraceRecorder::WriteRaw(const SRawChunk& chunk, uint64_t droppedBefore) {
    if (!m_pcapng || !m_notes) {
        return;
    }
    std::string note = m_notes->Note(chunk.direction, chunk.bytes);
    if (droppedBefore != 0) {
        note = std::to_string(droppedBefore) +
               " bytes of the line before this chunk were not kept (raw log full)" +
               (note.empty() ? "" : "; " + note);
    }
    m_pcapng->WriteRaw(chunk, note);
}

bool CTraceRecorder::Close(std::string& error) {
    std::string cut;
    int cutCount = 0;
    std::string reason;
    for (auto* writer : {m_pcapng.get(), m_text.get()}) {
        if (writer != nullptr && !writer->Close(reason)) {
            cut += (cutCount++ == 0 ? "" : " and ") + writer->Path();
        }
    }
    if (cutCount == 0) {
        return true;
    }
    error = (cutCount == 1 ? "the trace " + cut + " was" : "the traces " + cut + " were") +
            " not written completely: " + reason;
    return false;
}

bool SaveTrace(const std::string& path, const std::deque<STracedPacket>& packets,
               const std::string& interfaceName, std::string& error,
               const std::vector<SRawChunk>* raw) {
    CTraceRecorder recorder(interfaceName, raw != nullptr);
    if (!recorder.Open(path, error)) {
        return false;
    }
    // A chunk goes before the packets of its time: the bytes crossed the line
    // before the packet they carry was traced.
    size_t next = 0;
    for (const STracedPacket& packet : packets) {
        for (; raw != nullptr && next < raw->size() && (*raw)[next].timeUs <= packet.timeUs;
             ++next) {
            recorder.WriteRaw((*raw)[next]);
        }
        recorder.Write(packet);
    }
    for (; raw != nullptr && next < raw->size(); ++next) {
        recorder.WriteRaw((*raw)[next]);
    }
    return recorder.Close(error);
}

}  // namespace sondrix
