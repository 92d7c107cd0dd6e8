#include "exchange/pdfreport.h"

#include "exchange/pdfcolumn.h"
#include "exchange/reportlayout.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QVariant>

#include <numeric>

QString reportCellText(const QVariant &value)
{
    switch (int(value.type())) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::QChar:
    case QMetaType::Char:
    case QMetaType::SChar:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    default:
        return value.toString();
    }
}

namespace {

QString pageNumberText(int page, int pages)
{
    return QStringLiteral("%1/%2").arg(page).arg(pages);
}

void drawPageNumber(QPainter &painter, const ReportLayout &layout, int page)
{
    const QString text = pageNumberText(page, layout.pageCount());
    const int tw = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(layout.pageNumberRect(tw), Qt::AlignRight | Qt::AlignBottom, text);
}

// The pictures of page 1, scaled to the picture height.
struct FirstPagePictures
{
    bool sceneExists = false;
    QImage scene;
    QPixmap histogram;
    QPixmap chart;
    bool hasHistogram = false;
    bool hasChart = false;
};

FirstPagePictures scaledPictures(const ReportLayout &layout, const QString &sceneFileName, const QPixmap &histogram,
                                 const QPixmap &chart)
{
    const int ph = layout.pictureHeight();
    FirstPagePictures p;
    p.sceneExists = !sceneFileName.isEmpty() && QFileInfo::exists(sceneFileName);
    if (p.sceneExists) {
        // A file that is no readable picture leaves its caption alone.
        p.scene = QImage(sceneFileName);
        if (!p.scene.isNull())
            p.scene = p.scene.scaledToHeight(ph, Qt::FastTransformation);
    }
    p.hasHistogram = !histogram.isNull();
    if (p.hasHistogram)
        p.histogram = histogram.scaledToHeight(ph, Qt::FastTransformation);
    p.hasChart = !chart.isNull();
    if (p.hasChart)
        p.chart = chart.scaledToHeight(ph, Qt::FastTransformation);
    return p;
}

FirstPagePlan planFirstPage(const ReportLayout &layout, const FirstPagePictures &p)
{
    return ::planFirstPage(layout.lineHeight(), p.sceneExists, p.scene.height(), p.hasHistogram, p.histogram.height(),
                         p.hasChart);
}

void drawFirstPage(QPainter &painter, const FirstPagePlan &plan, const FirstPagePictures &p)
{
    if (plan.scene.captionShown) {
        painter.drawText(0, plan.scene.captionBaseline, QCoreApplication::translate("Widget", "Scene picture:"));
        if (!p.scene.isNull())
            painter.drawImage(QPoint(0, plan.scene.pictureTop), p.scene);
    }
    if (plan.histogram.captionShown) {
        painter.drawText(0, plan.histogram.captionBaseline, QCoreApplication::translate("Widget", "Histogram:"));
        painter.drawPixmap(QPoint(0, plan.histogram.pictureTop), p.histogram);
    }
    if (plan.chart.captionShown) {
        painter.drawText(0, plan.chart.captionBaseline, QCoreApplication::translate("Widget", "Chart:"));
        painter.drawPixmap(QPoint(0, plan.chart.pictureTop), p.chart);
    }
}

// One group of summary rows: the cells of a row line up in columns as
// wide as their widest text; a row of one text wraps within the group.
struct SummaryGroup
{
    int left = 0;
    int width = 0;
    int naturalWidth = 0;
    QVector<int> columnLeft;
    QVector<QStringList> rows;
    QVector<int> rowHeights;

    int height() const { return std::accumulate(rowHeights.cbegin(), rowHeights.cend(), 0); }
};

SummaryGroup planSummaryGroup(const QVector<QStringList> &rows, int left, int width, const QFontMetrics &metrics)
{
    const int gap = metrics.height();
    SummaryGroup g;
    g.left = left;
    g.rows = rows;
    QVector<int> widths;
    for (const QStringList &row : rows) {
        if (row.size() < 2)
            continue;
        if (widths.size() < row.size())
            widths.resize(row.size());
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths.at(c), metrics.horizontalAdvance(row.at(c)));
    }
    int x = 0;
    for (const int w : qAsConst(widths)) {
        g.columnLeft << x;
        x += w + gap;
    }
    g.naturalWidth = qMax(0, x - gap);
    g.width = width > 0 ? width : g.naturalWidth;
    for (const QStringList &row : rows) {
        int h = metrics.height();
        if (row.size() == 1)
            h = qMax(h, metrics.boundingRect(QRect(0, 0, qMax(1, g.width), 1 << 24), Qt::TextWordWrap, row.first())
                            .height());
        g.rowHeights << h;
    }
    return g;
}

void drawSummaryGroup(QPainter &painter, const SummaryGroup &g, int top)
{
    int y = top;
    for (int r = 0; r < g.rows.size(); ++r) {
        const QStringList &row = g.rows.at(r);
        const int h = g.rowHeights.at(r);
        if (row.size() == 1) {
            painter.drawText(QRect(g.left, y, g.width, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             row.first());
        } else {
            for (int c = 0; c < row.size() && c < g.columnLeft.size(); ++c) {
                const int x = g.columnLeft.at(c);
                painter.drawText(QRect(g.left + x, y, qMax(0, g.width - x), h), Qt::AlignLeft | Qt::AlignVCenter,
                                 row.at(c));
            }
        }
        y += h;
    }
}

// The summary's two groups: the left one as wide as its columns, the right
// one after a gap, up to the page's right edge.
struct SummaryPlan
{
    SummaryGroup left;
    SummaryGroup right;
    int height() const { return qMax(left.height(), right.height()); }
};

SummaryPlan planSummary(const ReportSummary &summary, int pageWidth, const QFontMetrics &metrics)
{
    SummaryPlan plan;
    plan.left = planSummaryGroup(summary.left, 0, 0, metrics);
    const int rightLeft = plan.left.naturalWidth > 0 ? plan.left.naturalWidth + 2 * metrics.height() : 0;
    plan.right = planSummaryGroup(summary.right, rightLeft, pageWidth - rightLeft, metrics);
    return plan;
}

void drawSummary(QPainter &painter, const SummaryPlan &plan, int top)
{
    drawSummaryGroup(painter, plan.left, top);
    drawSummaryGroup(painter, plan.right, top);
}

void drawTablePage(QPainter &painter, const ReportLayout &layout, int page, const QAbstractItemModel &table,
                   const QList<PdfColumn *> &columns)
{
    const QFontMetrics metrics = painter.fontMetrics();

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    painter.drawText(layout.stampRect(metrics.horizontalAdvance(stamp)), Qt::AlignBottom, stamp);
    drawPageNumber(painter, layout, page + 2);

    painter.drawLines(layout.horizontalRules(page).mid(0, 2));
    painter.drawLines(layout.verticalRules(page));
    for (int c = 0; c < columns.size(); ++c)
        painter.drawText(layout.headerRect(c), Qt::AlignCenter, columns.at(c)->title);

    const QVector<QLine> rowRules = layout.horizontalRules(page).mid(2);
    const int first = layout.firstRowOfTablePage(page);
    for (int i = 0; i < layout.rowsOnTablePage(page); ++i) {
        for (int c = 0; c < columns.size(); ++c) {
            const QString text = reportCellText(table.data(table.index(first + i, c), Qt::DisplayRole));
            painter.drawText(layout.cellRect(i, c), Qt::AlignHCenter | Qt::AlignBottom, text);
        }
        painter.drawLine(rowRules.at(i));
    }
}

} // namespace

bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QPixmap &histogram, const QPixmap &chart, QString *error)
{
    return writePdfReport(fileName, table, columns, sceneFileName, histogram, chart, ReportSummary(), error);
}

bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QPixmap &histogram, const QPixmap &chart,
                    const ReportSummary &summary, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }

    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            if (error)
                *error = QCoreApplication::translate("Widget", "The PDF writer could not start.");
            return false;
        }

        const int h0 = painter.fontMetrics().height();
        QFont font = painter.font();
        font.setPointSize(12);
        painter.setFont(font);
        const int h = painter.fontMetrics().height();

        QVector<int> weights;
        weights.reserve(columns.size());
        for (const PdfColumn *column : columns)
            weights << column->weight;
        ReportLayout layout(writer.width(), writer.height(), h0, h, table.rowCount(), weights);

        const FirstPagePictures pictures = scaledPictures(layout, sceneFileName, histogram, chart);
        const FirstPagePlan plan = planFirstPage(layout, pictures);
        const SummaryPlan summaryPlan = planSummary(summary, layout.width(), painter.fontMetrics());
        // One line's gap under the chart; the block must end above the
        // page number.
        const int summaryTop = plan.end + pictures.chart.height() + h;
        const bool summaryUnderChart = summaryTop + summaryPlan.height() <= layout.pageNumberRect(0).top();
        layout.setSummaryPage(!summary.isEmpty() && !summaryUnderChart);

        drawFirstPage(painter, plan, pictures);
        if (!summary.isEmpty() && summaryUnderChart)
            drawSummary(painter, summaryPlan, summaryTop);
        drawPageNumber(painter, layout, 1);

        const QPen pen = painter.pen();
        QPen tablePen = pen;
        tablePen.setWidth(2);
        painter.setPen(tablePen);

        const int tablePages = layout.tablePageCount();
        for (int p = 0; p < tablePages; ++p) {
            // Every page break, including the one after the first page.
            writer.newPage();
            drawTablePage(painter, layout, p, table, columns);
        }
        if (layout.hasSummaryPage()) {
            writer.newPage();
            painter.setPen(pen);
            drawSummary(painter, summaryPlan, h);
            drawPageNumber(painter, layout, layout.pageCount());
        }
        painter.end();
    }

    if (file.error() != QFileDevice::NoError || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
