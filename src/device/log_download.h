#pragma once

#include <cstdint>
#include <string>

#include "files/log_file.h"
#include "files/log_store.h"
#include "link/packet.h"

namespace sondrix {

class CSondrixDlg;

// A download of the module's event log into a text file: the request for
// the chosen option, and the chunks that follow, each written as it arrives
// into one file that takes its name with the last chunk (a download that
// stops before leaves the file there as it was). The Extra Functions tab
// and the typed module interface start it; the log answers carry it on.
class CLogDownload {
  public:
    // The module's log request types.
    enum EOption : uint32_t {
        kNthPrevious = 0,
        kOldestUnread = 1,
        kLastWritten = 2,
        kAll = 3,
        kOldestUnreadToLast = 4,
    };

    explicit CLogDownload(CSondrixDlg& dlg) : m_dlg(dlg) {}

    // Asks for the log by `option` (and `n` for the Nth previous entry), for `target`.
    void Start(std::string target, uint32_t option, uint32_t n);
    void OnGetLogData(const CPacket& packet);

    std::string path;     // the log file being written
    CLogStore store;      // the records of the chunk at hand
    CLogFileWriter file;  // the file, until its last chunk is in
    size_t recordsWritten = 0;

  private:
    CSondrixDlg& m_dlg;
};

}  // namespace sondrix
