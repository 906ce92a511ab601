#pragma once

#include <QAbstractTableModel>

#include "platform/dialog_model.h"

namespace sondrix {

// Shows a report list's rows to a Qt item view, row by row as they change,
// so a thousand-row list is never rebuilt for one new row. The list tells
// of a change after making it; the row count Qt sees is kept here and moves
// only inside the begin/end pairs Qt expects. The list must outlive this.
class CListTableModel : public QAbstractTableModel, private CListData::IObserver {
    Q_OBJECT

  public:
    struct SOptions {
        bool checkable = false;  // column 0 carries the row's check box
        bool centred = false;    // every cell centred
    };

    CListTableModel(CListData& list, SOptions options, QObject* parent = nullptr);
    ~CListTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const CListData& List() const { return m_list; }

  private:
    void OnReset() override;
    void OnRowsAppended(size_t first, size_t count) override;
    void OnRowsRemoved(size_t first, size_t count) override;
    void OnRowChanged(size_t row) override;
    // The list's row, or none while Qt still counts a row the list dropped.
    const CListData::SRow* Row(int row) const;

    CListData& m_list;
    SOptions m_options;
    int m_rows = 0;
    int m_columns = 0;
};

}  // namespace sondrix
