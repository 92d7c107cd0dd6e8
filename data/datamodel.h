#pragma once

#include <QAbstractTableModel>
#include <QList>

class DmmData;
class ItemData;

// The readings of the active item, one row per reading, in the item's
// display unit. Refers to readings only; never deletes one.
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

    void clear();
    // Adds the readings after the rows already shown; returns the row count.
    int setDatas(const QList<DmmData *> &datas);
    void append(DmmData *data);
    void setItem(ItemData *item);
    ItemData *item() const { return m_item; }

private:
    QList<DmmData *> m_datas;
    ItemData *m_item = nullptr;
};
