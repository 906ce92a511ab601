#include "win32/list_control.h"

#include <algorithm>
#include <cmath>

#include "platform/win32_text.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

CListControl::CListControl(CListData& list, EStyle style, WinHandle parent, int id, FontHandle font,
                           double scale)
    : m_list(list), m_style(style), m_scale(scale) {
    m_window =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                              LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_window, WM_SETFONT, reinterpret_cast<::WPARAM>(font), FALSE);
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
    if (style == EStyle::Report) {
        extended |= LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES;
    } else {
        ListView_SetTextColor(m_window, RGB(0x00, 0x0A, 0x32));
    }
    ListView_SetExtendedListViewStyle(m_window, extended);
    HDC dc = ::GetDC(m_window);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_window, dc);
    m_rowHeight = std::max<int>(metrics.tmHeight + static_cast<int>(std::lround(4 * scale)),
                                static_cast<int>(std::lround(17 * scale)));
    m_headerHeight = metrics.tmHeight + static_cast<int>(std::lround(9 * scale));
    m_list.SetObserver(this);
    OnReset();
}

CListControl::~CListControl() {
    m_list.SetObserver(nullptr);
}

int CListControl::RowsHeight(int rows) const {
    return m_rowHeight * rows + m_headerHeight + static_cast<int>(std::lround(4 * m_scale));
}

SLayoutSize CListControl::NaturalSize() const {
    int width = static_cast<int>(std::lround(4 * m_scale));
    for (const auto& column : m_list.Columns()) {
        width += static_cast<int>(std::lround(column.width * m_scale));
    }
    return {std::max(width, static_cast<int>(std::lround(200 * m_scale))), RowsHeight(6)};
}

void CListControl::OnReset() {
    while (ListView_DeleteColumn(m_window, 0)) {
    }
    const auto& columns = m_list.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring heading = WideFromUtf8(columns[i].heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        // The first column of a list view keeps to the left; the others centre.
        column.fmt = m_style == EStyle::Tracer ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.cx = static_cast<int>(std::lround(columns[i].width * m_scale));
        column.pszText = heading.data();
        ListView_InsertColumn(m_window, static_cast<int>(i), &column);
    }
    ListView_SetItemCountEx(m_window, static_cast<int>(m_list.RowCount()), 0);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void CListControl::OnRowsAppended(size_t, size_t) {
    const int rows = static_cast<int>(m_list.RowCount());
    ListView_SetItemCountEx(m_window, rows, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (m_style == EStyle::Tracer && rows > 0) {
        ListView_EnsureVisible(m_window, rows - 1, FALSE);
    }
}

void CListControl::OnRowsRemoved(size_t, size_t) {
    ListView_SetItemCountEx(m_window, static_cast<int>(m_list.RowCount()), LVSICF_NOSCROLL);
}

void CListControl::OnRowChanged(size_t row) {
    ListView_RedrawItems(m_window, static_cast<int>(row), static_cast<int>(row));
}

void CListControl::Toggle(int row) {
    if (row >= 0 && static_cast<size_t>(row) < m_list.RowCount()) {
        // The list tells back through OnRowChanged.
        m_list.SetChecked(static_cast<size_t>(row), !m_list.Row(static_cast<size_t>(row)).checked);
    }
}

bool CListControl::OnNotify(const void* header, long long& result) {
    const auto* notify = static_cast<const NMHDR*>(header);
    if (notify->hwndFrom != m_window) {
        return false;
    }
    result = 0;
    switch (notify->code) {
        case LVN_GETDISPINFOW: {
            auto* display = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(notify));
            LVITEMW& item = display->item;
            if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_list.RowCount()) {
                return true;
            }
            const CListData::SRow& row = m_list.Row(static_cast<size_t>(item.iItem));
            if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
                const auto column = static_cast<size_t>(item.iSubItem);
                const std::wstring text =
                    column < row.cells.size() ? WideFromUtf8(row.cells[column]) : std::wstring();
                ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            }
            if ((item.mask & LVIF_STATE) != 0 && m_style == EStyle::Report) {
                item.state = INDEXTOSTATEIMAGEMASK(row.checked ? 2 : 1);
                item.stateMask = LVIS_STATEIMAGEMASK;
            }
            return true;
        }
        case LVN_GETINFOTIPW: {
            auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(notify));
            if (tip->iItem >= 0 && static_cast<size_t>(tip->iItem) < m_list.RowCount() &&
                tip->cchTextMax > 0) {
                const std::wstring text =
                    WideFromUtf8(m_list.Row(static_cast<size_t>(tip->iItem)).tooltip);
                ::lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
            }
            return true;
        }
        case NM_CLICK:
        case NM_DBLCLK: {
            if (m_style != EStyle::Report) {
                return false;
            }
            // A virtual list leaves its check boxes to its owner.
            LVHITTESTINFO hit{};
            hit.pt = reinterpret_cast<const NMITEMACTIVATE*>(notify)->ptAction;
            ListView_SubItemHitTest(m_window, &hit);
            if ((hit.flags & LVHT_ONITEMSTATEICON) != 0) {
                Toggle(hit.iItem);
            }
            return true;
        }
        case LVN_KEYDOWN:
            if (m_style == EStyle::Report &&
                reinterpret_cast<const NMLVKEYDOWN*>(notify)->wVKey == VK_SPACE) {
                Toggle(ListView_GetNextItem(m_window, -1, LVNI_FOCUSED));
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace sondrix
