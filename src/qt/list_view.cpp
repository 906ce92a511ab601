#include "qt/list_view.h"

#include <QHeaderView>
#include <algorithm>

namespace sondrix {

namespace {

CListTableModel::SOptions OptionsFor(CListView::EStyle style) {
    CListTableModel::SOptions options;
    options.checkable = style == CListView::EStyle::Report;
    options.centred = style == CListView::EStyle::Tracer;
    return options;
}

}  // namespace

CListView::CListView(CListData& list, EStyle style, QWidget* parent)
    : QTableView(parent), m_model(list, OptionsFor(style)) {
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Nothing in a row is edited: Tab and Shift+Tab go on to the next
    // control instead of from cell to cell (the arrow keys move in the list).
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Every row is one line high: fixed sections spare the view from
    // measuring rows, which keeps a long tracer cheap.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    if (style == EStyle::Tracer) {
        setShowGrid(false);
        QPalette colours = palette();
        colours.setColor(QPalette::Text, QColor(0x00, 0x0A, 0x32));
        setPalette(colours);
        connect(&m_model, &QAbstractItemModel::rowsInserted, this, &QTableView::scrollToBottom);
    } else {
        setShowGrid(true);
    }
    connect(&m_model, &QAbstractItemModel::modelReset, this, &CListView::ApplyColumns);
    ApplyColumns();
}

void CListView::ApplyColumns() {
    const auto& columns = m_model.List().Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        setColumnWidth(static_cast<int>(i), columns[i].width);
    }
}

QSize CListView::sizeHint() const {
    int width = frameWidth() * 2;
    for (const auto& column : m_model.List().Columns()) {
        width += column.width;
    }
    return {std::max(width, 200), RowsHeight(6)};
}

int CListView::RowsHeight(int rows) const {
    return verticalHeader()->defaultSectionSize() * rows + horizontalHeader()->sizeHint().height() +
           frameWidth() * 2;
}

}  // namespace sondrix
