#pragma once

#include "exchange/sheetrows.h"

#include <QList>
#include <QVariant>

// Rows handed to the import from a list, as a reader hands them out: list
// row r is sheet row firstRow + r, its cells from column 0; invalid values
// are no cells, and rows without cells are left out.
class ListedRows : public SheetRows
{
public:
    explicit ListedRows(const QList<QVariantList> &rows, int firstRow = 0) : m_rows(rows), m_firstRow(firstRow) {}

    bool next() override
    {
        m_columns.clear();
        while (++m_row < m_rows.size()) {
            for (int c = 0; c < m_rows.at(m_row).size(); ++c)
                if (m_rows.at(m_row).at(c).isValid())
                    m_columns << c;
            if (!m_columns.isEmpty())
                return true;
        }
        return false;
    }
    bool rewind() override
    {
        m_row = -1;
        return true;
    }
    int row() const override { return m_firstRow + m_row; }
    int cellCount() const override { return m_columns.size(); }
    int column(int index) const override { return m_columns.at(index); }
    QVariant value(int index) const override { return m_rows.at(m_row).at(m_columns.at(index)); }

private:
    QList<QVariantList> m_rows;
    int m_firstRow;
    int m_row = -1;
    QList<int> m_columns;
};
