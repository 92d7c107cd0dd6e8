#pragma once

#include <QAbstractTableModel>

#include <vector>

class ItemData;

// The readings of the active item, one row per reading, in the item's
// display unit. Reads the item's readings in place: a row costs nothing
// until it is shown. The table shows as many of the item's readings as it
// has been told (showRows), so that readings arriving in a flood are
// announced to the view once a frame.
class DataModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NumberColumn, TimeColumn, ValueColumn, UnitColumn, BasisColumn, ColumnCount };

    explicit DataModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // No rows.
    void clear();
    // Shows the item's readings up to `readings` (more than shown are
    // inserted at the end); returns the row count.
    int showRows(int readings);
    // The item whose readings and unit the rows show; no signal.
    void setItem(ItemData *item);
    ItemData *item() const { return m_item; }

private:
    int readingOf(int row) const { return m_rowMap.empty() ? row : m_rowMap[std::size_t(row)]; }

    ItemData *m_item = nullptr;
    int m_shown = 0;                // readings of the item shown
    std::vector<int> m_rowMap;      // the reading of each row, once rows were removed
};
