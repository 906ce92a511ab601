#pragma once

#include <string>

#include "platform/dialog_model.h"
#include "ui/page_layout.h"
#include "win32/win32_handles.h"

namespace sondrix {

// A report list of the system (a list view) over a list's rows, as a
// virtual list: the control asks for the cells of the rows it paints, so a
// list of a thousand rows costs no more than one of ten. The packet tracer
// centres its cells in its own ink and keeps the newest row in view; a
// page's list has grid lines and a check box in front of each row.
class CListControl : private CListData::IObserver {
  public:
    enum class EStyle { Tracer, Report };

    CListControl(CListData& list, EStyle style, WinHandle parent, int id, FontHandle font,
                 double scale);
    ~CListControl() override;
    CListControl(const CListControl&) = delete;
    CListControl& operator=(const CListControl&) = delete;

    WinHandle Handle() const { return m_window; }
    // The control's notifications, from its parent's WM_NOTIFY; true when
    // one was answered (`result` holds the answer).
    bool OnNotify(const void* header, long long& result);
    // The height that shows the column headings and `rows` rows.
    int RowsHeight(int rows) const;
    // The widths of the columns side by side, and six rows.
    SLayoutSize NaturalSize() const;

  private:
    void OnReset() override;
    void OnRowsAppended(size_t first, size_t count) override;
    void OnRowsRemoved(size_t first, size_t count) override;
    void OnRowChanged(size_t row) override;
    void Toggle(int row);

    CListData& m_list;
    EStyle m_style;
    WinHandle m_window = nullptr;
    double m_scale;
    int m_rowHeight = 0;
    int m_headerHeight = 0;
};

}  // namespace sondrix
