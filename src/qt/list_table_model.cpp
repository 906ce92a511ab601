#include "qt/list_table_model.h"

namespace sondrix {

CListTableModel::CListTableModel(CListData& list, SOptions options, QObject* parent)
    : QAbstractTableModel(parent),
      m_list(list),
      m_options(options),
      m_rows(static_cast<int>(list.RowCount())),
      m_columns(static_cast<int>(list.Columns().size())) {
    m_list.SetObserver(this);
}

CListTableModel::~CListTableModel() {
    m_list.SetObserver(nullptr);
}

int CListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

const CListData::SRow* CListTableModel::Row(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= m_list.RowCount()) {
        return nullptr;
    }
    return &m_list.Row(static_cast<size_t>(row));
}

QVariant CListTableModel::data(const QModelIndex& index, int role) const {
    const CListData::SRow* row = Row(index.row());
    if (row == nullptr || !index.isValid()) {
        return {};
    }
    const auto column = static_cast<size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return column < row->cells.size() ? QString::fromStdString(row->cells[column])
                                              : QString();
        case Qt::CheckStateRole:
            if (m_options.checkable && column == 0) {
                return static_cast<int>(row->checked ? Qt::Checked : Qt::Unchecked);
            }
            return {};
        case Qt::ToolTipRole:
            return row->tooltip.empty() ? QVariant() : QString::fromStdString(row->tooltip);
        case Qt::TextAlignmentRole:
            return m_options.centred ? QVariant(static_cast<int>(Qt::AlignCenter)) : QVariant();
        default:
            return {};
    }
}

QVariant CListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const auto& columns = m_list.Columns();
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<size_t>(section) >= columns.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(columns[static_cast<size_t>(section)].heading);
    }
    if (role == Qt::TextAlignmentRole && m_options.centred) {
        return static_cast<int>(Qt::AlignCenter);
    }
    return {};
}

Qt::ItemFlags CListTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_options.checkable && index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool CListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !m_options.checkable || index.column() != 0 ||
        Row(index.row()) == nullptr) {
        return false;
    }
    // The list tells us back through OnRowChanged.
    m_list.SetChecked(static_cast<size_t>(index.row()),
                      value.toInt() == static_cast<int>(Qt::Checked));
    return true;
}

void CListTableModel::OnReset() {
    beginResetModel();
    m_rows = static_cast<int>(m_list.RowCount());
    m_columns = static_cast<int>(m_list.Columns().size());
    endResetModel();
}

void CListTableModel::OnRowsAppended(size_t first, size_t count) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count) - 1);
    m_rows += static_cast<int>(count);
    endInsertRows();
}

void CListTableModel::OnRowsRemoved(size_t first, size_t count) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count) - 1);
    m_rows -= static_cast<int>(count);
    endRemoveRows();
}

void CListTableModel::OnRowChanged(size_t row) {
    if (m_columns == 0) {
        return;
    }
    emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), m_columns - 1));
}

}  // namespace sondrix
