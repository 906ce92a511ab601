#pragma once

#include <QTableView>

#include "qt/list_table_model.h"

namespace sondrix {

// A report list: the packet tracer (centred cells, newest row kept in view)
// or a page's list (a check box in column 0, grid lines, whole rows
// selected). Column headings and widths come from the list.
class CListView : public QTableView {
    Q_OBJECT

  public:
    enum class EStyle { Tracer, Report };

    CListView(CListData& list, EStyle style, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The height that shows the column headings and `rows` rows.
    int RowsHeight(int rows) const;

  private:
    void ApplyColumns();

    CListTableModel m_model;
};

}  // namespace sondrix
