#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace sondrix {

// How far a long run (a capture, a backup, an upload) has come, on the error
// stream: on a terminal one line rewritten in place, elsewhere (a pipe, a
// log file) a line every few seconds and one at the end.
class CCliProgress {
  public:
    static constexpr int64_t kPipeIntervalMs = 5000;

    CCliProgress(std::ostream& out, bool terminal) : m_out(out), m_terminal(terminal) {}

    // `done` of `total` `unit` ("records", or "%" for a share) of `what` at
    // `nowMs`; a new `what` starts a new run.
    void Update(const std::string& what, int64_t done, int64_t total, const std::string& unit,
                int64_t nowMs);
    // The run finished: its last figures are shown as complete and the line ends.
    void Complete(int64_t nowMs);
    // Ends a terminal's rewritten line, before other text or at the end.
    void Break();

    // "backup: 6 of 12 records (50 %), 3.0 records/s, 2 s left"; "capture: 45 %, 3 s left".
    static std::string Line(const std::string& what, int64_t done, int64_t total,
                            const std::string& unit, int64_t elapsedMs);

  private:
    std::ostream& m_out;
    bool m_terminal;
    std::string m_what;  // empty: no run going on
    std::string m_unit;
    int64_t m_total = 0;
    int64_t m_startMs = 0;
    int64_t m_shownMs = 0;
    int64_t m_shownDone = -1;
    bool m_lineOpen = false;
};

}  // namespace sondrix
