#include "data/datamodel.h"

#include "data/dmmdata.h"
#include "data/itemdata.h"

DataModel::DataModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int DataModel::rowCount(const QModelIndex &parent) const
{
    // A flat table: cells have no children.
    return parent.isValid() ? 0 : m_datas.size();
}

int DataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DataModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_datas.size() || index.column() >= ColumnCount)
        return QVariant();

    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return QVariant();

    const DmmData *reading = m_datas.at(index.row());
    if (!reading)
        return QVariant();
    const bool um = m_item && m_item->unit() == QLatin1String("um");
    switch (index.column()) {
    case NumberColumn:
        return index.row() + 1;
    case TimeColumn:
        return reading->dateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case ValueColumn:
        return um ? reading->textUm() : reading->textMil();
    case UnitColumn:
        if (um)
            return QString::fromUtf8("μm");
        return m_item ? m_item->unit() : QString();
    case BasisColumn:
        return reading->basis();
    default:
        return QVariant();
    }
}

QVariant DataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    switch (section) {
    case NumberColumn:
        return tr("NO.");
    case TimeColumn:
        return tr("Time");
    case ValueColumn:
        return tr("Value");
    case UnitColumn:
        return tr("Unit");
    case BasisColumn:
        return tr("Basis");
    default:
        return QVariant();
    }
}

bool DataModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row >= m_datas.size() || count <= 0)
        return false;
    // Only rows that exist are announced, so views stay in step.
    const int last = qMin(row + count, m_datas.size()) - 1;
    beginRemoveRows(QModelIndex(), row, last);
    m_datas.erase(m_datas.begin() + row, m_datas.begin() + last + 1);
    endRemoveRows();
    // The rows that moved up have new numbers.
    if (row < m_datas.size())
        emit dataChanged(index(row, NumberColumn), index(m_datas.size() - 1, NumberColumn),
                         {Qt::DisplayRole});
    return true;
}

void DataModel::clear()
{
    if (m_datas.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, m_datas.size() - 1);
    m_datas.clear();
    endRemoveRows();
}

int DataModel::setDatas(const QList<DmmData *> &datas)
{
    if (datas.isEmpty())
        return m_datas.size();
    const int first = m_datas.size();
    beginInsertRows(QModelIndex(), first, first + datas.size() - 1);
    if (m_datas.isEmpty())
        m_datas = datas; // shares the buffer until either side grows
    else
        m_datas.append(datas);
    endInsertRows();
    return m_datas.size();
}

void DataModel::append(DmmData *data)
{
    if (!data)
        return;
    const int row = m_datas.size();
    beginInsertRows(QModelIndex(), row, row);
    m_datas.append(data);
    endInsertRows();
}

void DataModel::setItem(ItemData *item)
{
    m_item = item;
}
