#include "data/readingstable.h"

#include "data/readingcells.h"

ReadingsTable::ReadingsTable(const ReadingSeries &readings, Unit unit, QObject *parent)
    : QAbstractTableModel(parent)
    , m_readings(readings)
    , m_unit(unit)
{
}

int ReadingsTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_readings.size();
}

int ReadingsTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ReadingCells::ColumnCount;
}

QVariant ReadingsTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    return ReadingCells::cell(m_readings, index.row(), index.row(), index.column(), m_unit);
}

QVariant ReadingsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    return ReadingCells::title(section);
}
