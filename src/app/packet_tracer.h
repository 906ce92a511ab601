#pragma once

#include "link/packet.h"
#include "platform/dialog_model.h"

namespace sondrix {

// The packet list under the tabs: one row per sent or good received packet,
// newest at the bottom, at most 1000 rows.
class CPacketTracer {
  public:
    static constexpr size_t kMaxRows = 1000;
    static constexpr size_t kDataBytesShown = 24;

    enum EMode { kStandard = 0, kShowAll = 1, kDisabled = 2 };

    // `rows` counts every row ever added since the last clear (the count
    // keeps growing past the cap).
    CPacketTracer(CDialogModel& dialog, int listId, int& rows)
        : m_dialog(dialog), m_listId(listId), m_rows(rows) {}

    void CreateColumns();
    // Whether a packet is traced in `mode` while `transferBusy` is as given.
    static bool Accepts(int mode, bool transferBusy);
    void TracePacket(const CPacket& packet, int direction);
    void Clear();

  private:
    CListData& List() { return m_dialog.List(m_listId); }

    CDialogModel& m_dialog;
    int m_listId;
    int& m_rows;
};

}  // namespace sondrix
