#include "exchange/reportlayout.h"

#include <QtGlobal>

#include <algorithm>
#include <numeric>

ReportLayout::ReportLayout(int width, int height, int baseLineHeight, int lineHeight, int rowCount,
                           const QVector<int> &weights)
    : m_width(width)
    , m_height(height)
    , m_lineHeight(lineHeight)
    , m_rowCount(qMax(0, rowCount))
    , m_weights(weights)
    , m_rowHeight(2 * baseLineHeight)
    , m_margin(width / 20)
{
    // A page too short for a single row would divide by zero below; it still
    // gets one row per page so every row is printed.
    m_rowsPerPage = m_rowHeight > 0 ? qMax(1, (height - 5 * m_rowHeight) / m_rowHeight) : 1;
    const int weightSum = std::accumulate(m_weights.cbegin(), m_weights.cend(), 0);
    m_columnUnit = weightSum > 0 ? double(width - 2 * m_margin) / weightSum : 0.0;
}

int ReportLayout::tablePageCount() const
{
    return m_rowCount / m_rowsPerPage + (m_rowCount % m_rowsPerPage ? 1 : 0);
}

int ReportLayout::pictureHeight() const
{
    return m_height / 3 - 4 * m_lineHeight;
}

int ReportLayout::columnWidth(int column) const
{
    return int(m_columnUnit * m_weights.at(column));
}

int ReportLayout::columnLeft(int column) const
{
    int x = m_margin;
    for (int c = 0; c < column; ++c)
        x += columnWidth(c);
    return x;
}

int ReportLayout::rowsOnTablePage(int page) const
{
    return qMax(0, qMin(m_rowsPerPage, m_rowCount - page * m_rowsPerPage));
}

int ReportLayout::belowLastRow() const
{
    const int pages = tablePageCount();
    const int rows = pages > 0 ? rowsOnTablePage(pages - 1) : 0;
    return (rows + 4) * m_rowHeight + m_lineHeight;
}

QRect ReportLayout::pageNumberRect(int textWidth) const
{
    return QRect(tableRight() - textWidth, (m_rowsPerPage + 4) * m_rowHeight, textWidth, m_rowHeight);
}

QRect ReportLayout::stampRect(int textWidth) const
{
    return QRect(tableRight() - textWidth, 0, textWidth, 3 * m_rowHeight);
}

QRect ReportLayout::headerRect(int column) const
{
    return QRect(columnLeft(column), 3 * m_rowHeight, columnWidth(column), m_rowHeight);
}

QRect ReportLayout::cellRect(int rowOnPage, int column) const
{
    return QRect(columnLeft(column), (4 + rowOnPage) * m_rowHeight, columnWidth(column), m_rowHeight);
}

QVector<QLine> ReportLayout::horizontalRules(int page) const
{
    const int k = rowsOnTablePage(page);
    const int x0 = m_margin;
    const int x1 = tableRight();
    QVector<QLine> rules;
    rules.reserve(k + 2);
    rules << QLine(x0, 3 * m_rowHeight, x1, 3 * m_rowHeight) << QLine(x0, 4 * m_rowHeight, x1, 4 * m_rowHeight);
    for (int i = 0; i < k; ++i) {
        const int y = (4 + i) * m_rowHeight + m_rowHeight;
        rules << QLine(x0, y, x1, y);
    }
    return rules;
}

QVector<QLine> ReportLayout::verticalRules(int page) const
{
    const int top = 3 * m_rowHeight;
    const int bottom = (rowsOnTablePage(page) + 4) * m_rowHeight;
    QVector<QLine> rules;
    rules.reserve(columnCount() + 1);
    int x = m_margin;
    for (int c = 0; c < columnCount(); ++c) {
        rules << QLine(x, top, x, bottom);
        x += columnWidth(c);
    }
    // The right rule sits at X even when the truncated widths fall short.
    rules << QLine(tableRight(), top, tableRight(), bottom);
    return rules;
}

FirstPagePlan planFirstPage(int lineHeight, bool sceneFileExists, int sceneHeight, bool hasHistogram,
                            int histogramHeight, bool hasChart)
{
    const int h = lineHeight;
    FirstPagePlan plan;
    int y = h;

    if (sceneFileExists) {
        plan.scene.captionShown = true;
        plan.scene.captionBaseline = y;
        y += h;
        plan.scene.pictureTop = y;
    }
    y += (sceneFileExists ? sceneHeight : 0) + 2 * h;

    if (hasHistogram) {
        plan.histogram.captionShown = true;
        plan.histogram.captionBaseline = y;
        y += h;
        plan.histogram.pictureTop = y;
    }
    y += (hasHistogram ? histogramHeight : 0) + 2 * h;

    if (hasChart) {
        plan.chart.captionShown = true;
        plan.chart.captionBaseline = y;
        y += h;
        plan.chart.pictureTop = y;
    }
    plan.end = y;
    return plan;
}
