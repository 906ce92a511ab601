#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace sondrix {

class CMessageLoop;

// The headless driver's output: one line per event, stamped with the
// milliseconds since the run began, and the count of failures.
class CHeadlessLog {
  public:
    CHeadlessLog(const CMessageLoop& loop, std::ostream& out);

    void Line(const std::string& text);
    // A check that was not met or a step the script could not take; named
    // after the script line being run.
    void Fail(const std::string& text);
    void SetScriptLine(int line) { m_scriptLine = line; }
    int Failures() const { return m_failures; }

  private:
    const CMessageLoop& m_loop;
    std::ostream& m_out;
    int64_t m_startMs;
    int m_scriptLine = 0;
    int m_failures = 0;
};

// The text with control characters written as escapes ("\r\n"), so that every
// event stays one line of the log and a script matches texts as the log shows them.
std::string Printable(const std::string& text);

}  // namespace sondrix
