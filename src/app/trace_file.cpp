#include "app/trace_file.h"

#include <cstring>

#include "link/packet_parser.h"
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

CTraceWriter::CTraceWriter(EFormat format, std::string interfaceName)
    : m_format(format), m_interface(std::move(interfaceName)) {}

CTraceWriter::~CTraceWriter() = default;

bool CTraceWriter::Open(const std::string& path, std::string& error) {
    m_path = path;
    m_file.open(path, std::ios::binary | std::ios::trunc);
    if (!m_file) {
        error = "cannot write the trace " + path + ": " + std::strerror(errno);
        return false;
    }
    if (m_format == EFormat::Pcapng) {
        WritePcapngHeading();
    } else {
        m_file << "TIME\tDIR\tCOMMAND\tPARAM1\tPARAM2\tDATA SIZE\tERR CODE\tDATA\n";
    }
    return true;
}

void CTraceWriter::WriteBlock(uint32_t type, const std::string& body) {
    const uint64_t total = 12 + body.size();
    std::string block;
    PutLE(block, type, 4);
    PutLE(block, total, 4);
    block += body;
    PutLE(block, total, 4);
    m_file.write(block.data(), static_cast<std::streamsize>(block.size()));
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

    std::string interface;
    PutLE(interface, kLinkType, 2);
    PutLE(interface, 0, 2);
    PutLE(interface, 0, 4);  // no snap length: every byte is kept
    PutOption(interface, kOptionInterfaceName, m_interface);
    PutOption(interface, kOptionTimeResolution, std::string(1, '\x06'));  // microseconds
    PutEndOfOptions(interface);
    WriteBlock(kInterfaceDescription, interface);
}

void CTraceWriter::Write(const STracedPacket& packet) {
    if (m_format == EFormat::Text) {
        m_file << TextLine(packet);
        return;
    }
    std::string body;
    const uint64_t time = static_cast<uint64_t>(packet.timeUs);
    PutLE(body, 0, 4);  // interface 0
    PutLE(body, time >> 32, 4);
    PutLE(body, time & 0xFFFFFFFFu, 4);
    PutLE(body, packet.bytes.size(), 4);
    PutLE(body, packet.bytes.size(), 4);
    body.append(reinterpret_cast<const char*>(packet.bytes.data()), packet.bytes.size());
    Pad4(body);
    std::string flags;
    PutLE(flags, packet.direction == 0 ? kOutbound : kInbound, 4);
    PutOption(body, kOptionPacketFlags, flags);
    PutEndOfOptions(body);
    WriteBlock(kEnhancedPacket, body);
}

bool CTraceWriter::Close(std::string& error) {
    if (!m_file.is_open()) {
        return true;
    }
    m_file.flush();
    const bool good = m_file.good();
    m_file.close();
    if (!good) {
        error = "the trace " + m_path + " was not written completely";
    }
    return good;
}

STracePaths TracePaths(const std::string& path) {
    const std::string suffix = ".txt";
    const bool textOnly = path.size() >= suffix.size() &&
                          path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return textOnly ? STracePaths{{}, path} : STracePaths{path, path + suffix};
}

bool CTraceRecorder::Open(const std::string& path, std::string& error) {
    const STracePaths paths = TracePaths(path);
    if (!paths.pcapng.empty()) {
        m_pcapng = std::make_unique<CTraceWriter>(CTraceWriter::EFormat::Pcapng, m_interface);
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

bool CTraceRecorder::Close(std::string& error) {
    bool good = true;
    for (auto* writer : {m_pcapng.get(), m_text.get()}) {
        if (writer != nullptr) {
            good = writer->Close(error) && good;
        }
    }
    return good;
}

bool SaveTrace(const std::string& path, const std::deque<STracedPacket>& packets,
               const std::string& interfaceName, std::string& error) {
    CTraceRecorder recorder(interfaceName);
    if (!recorder.Open(path, error)) {
        return false;
    }
    for (const STracedPacket& packet : packets) {
        recorder.Write(packet);
    }
    return recorder.Close(error);
}

}  // namespace sondrix
