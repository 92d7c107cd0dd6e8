#pragma once

#include "data/readingseries.h"

#include <QAbstractTableModel>

// A snapshot of an item's readings as the readings table shows them, for
// writing files on a worker thread: it owns its snapshot and never changes.
class ReadingsTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    ReadingsTable(const ReadingSeries &readings, Unit unit, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ReadingSeries m_readings;
    Unit m_unit;
};
