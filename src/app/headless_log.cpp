#include "app/headless_log.h"

#include <cstdio>
#include <ostream>

#include "platform/message_loop.h"

namespace sondrix {

CHeadlessLog::CHeadlessLog(const CMessageLoop& loop, std::ostream& out)
    : m_loop(loop), m_out(out), m_startMs(loop.NowMs()) {}

void CHeadlessLog::Line(const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%7lld ms] ",
                  static_cast<long long>(m_loop.NowMs() - m_startMs));
    // Flushed line by line: a person watching a long run sees it as it happens.
    m_out << stamp << text << std::endl;
}

void CHeadlessLog::Fail(const std::string& text) {
    ++m_failures;
    Line(m_scriptLine > 0 ? "FAIL line " + std::to_string(m_scriptLine) + ": " + text
                          : "FAIL: " + text);
}

std::string Printable(const std::string& text) {
    std::string printable;
    printable.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            printable += "\\r";
        } else if (c == '\n') {
            printable += "\\n";
        } else if (c == '\t') {
            printable += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            printable += escape;
        } else {
            printable += c;
        }
    }
    return printable;
}

}  // namespace sondrix
