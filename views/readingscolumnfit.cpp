#include "views/readingscolumnfit.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {

// Rows measured of one batch at most.
constexpr int MostMeasuredRows = 1000;

} // namespace

ReadingsColumnFit::ReadingsColumnFit(QTableView *view)
    : QObject(view)
    , m_view(view)
{
    QAbstractItemModel *model = view->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parent, int first, int last) {
                if (!parent.isValid()) {
                    measureRows(first, last);
                    apply();
                }
            });
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ReadingsColumnFit::remeasure);
    connect(model, &QAbstractItemModel::modelReset, this, &ReadingsColumnFit::remeasure);
    remeasure();
}

void ReadingsColumnFit::remeasure()
{
    m_widest.fill(0, m_view->model()->columnCount());
    measureRows(0, m_view->model()->rowCount() - 1);
    apply();
}

void ReadingsColumnFit::measureRows(int first, int last)
{
    if (last < first)
        return;
    const QAbstractItemModel *model = m_view->model();
    // Fractional advances, rounded up as the delegate's text layout does.
    const QFontMetricsF fm(m_view->font());
    const int step = std::max(1, (last - first + 1 + MostMeasuredRows - 1) / MostMeasuredRows);
    for (int row = first;; row += step) {
        row = std::min(row, last);
        for (int column = 0; column < m_widest.size(); ++column) {
            const QString text = model->index(row, column).data().toString();
            m_widest[column] = std::max(m_widest[column], int(std::ceil(fm.horizontalAdvance(text))));
        }
        if (row == last)
            break;
    }
}

void ReadingsColumnFit::apply()
{
    // What the item delegate keeps free on either side of a text, and the
    // grid line the table draws at the cell's edge.
    const int textMargin = m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1;
    const int extra = 2 * textMargin + (m_view->showGrid() ? 1 : 0);
    QHeaderView *header = m_view->horizontalHeader();
    for (int column = 0; column < m_widest.size(); ++column) {
        const int width = std::max(header->sectionSizeHint(column), m_widest.at(column) + extra);
        if (header->sectionSize(column) != width)
            header->resizeSection(column, width);
    }
}
