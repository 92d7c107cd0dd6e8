#pragma once

#include <QAbstractTableModel>
#include <QVector>

// The table as a model that holds its display values, as the readings
// table does: the export is measured, not the making of the texts.
class TableSnapshot : public QAbstractTableModel
{
public:
    explicit TableSnapshot(const QAbstractItemModel &source)
        : m_rows(source.rowCount()), m_columns(source.columnCount())
    {
        m_values.reserve(m_rows * m_columns);
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c)
                m_values.append(source.data(source.index(r, c)));
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        return role == Qt::DisplayRole ? m_values.at(index.row() * m_columns + index.column())
                                       : QVariant();
    }

private:
    int m_rows;
    int m_columns;
    QVector<QVariant> m_values;
};
