#include "cli/cli_progress.h"

#include <cstdio>
#include <ostream>

namespace sondrix {

std::string CCliProgress::Line(const std::string& what, int64_t done, int64_t total,
                               const std::string& unit, int64_t elapsedMs) {
    const bool share = unit == "%";
    std::string line = what + ": ";
    if (share) {
        line += std::to_string(done) + " %";
    } else {
        line += std::to_string(done) + " of " + std::to_string(total) + " " + unit;
        if (total > 0) {
            line += " (" + std::to_string(done * 100 / total) + " %)";
        }
    }
    if (elapsedMs > 0 && done > 0) {
        const double perSecond =
            static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMs);
        if (!share) {
            char rate[48];
            std::snprintf(rate, sizeof rate, ", %.1f %s/s", perSecond, unit.c_str());
            line += rate;
        }
        if (done < total) {
            const auto left =
                static_cast<int64_t>(static_cast<double>(total - done) / perSecond + 0.5);
            line += ", " + std::to_string(left) + " s left";
        }
    }
    return line;
}

void CCliProgress::Update(const std::string& what, int64_t done, int64_t total,
                          const std::string& unit, int64_t nowMs) {
    if (what != m_what) {
        Break();
        m_what = what;
        m_startMs = nowMs;
        m_shownDone = -1;
    }
    m_unit = unit;
    m_total = total;
    if (done == m_shownDone) {
        return;
    }
    const bool last = done >= total;
    if (!m_terminal && m_shownDone >= 0 && !last && nowMs - m_shownMs < kPipeIntervalMs) {
        return;
    }
    m_shownDone = done;
    m_shownMs = nowMs;
    const std::string line = "sondrix-cli: " + Line(what, done, total, unit, nowMs - m_startMs);
    if (m_terminal) {
        // Back to the line's start, the new text, the rest of the old one cleared.
        m_out << '\r' << line << "\x1b[K" << std::flush;
        m_lineOpen = true;
    } else {
        m_out << line << std::endl;
    }
}

void CCliProgress::Complete(int64_t nowMs) {
    if (!m_what.empty() && m_shownDone < m_total) {
        Update(m_what, m_total, m_total, m_unit, nowMs);
    }
    Break();
    m_what.clear();
}

void CCliProgress::Break() {
    if (m_lineOpen) {
        m_out << std::endl;
        m_lineOpen = false;
    }
}

}  // namespace sondrix
