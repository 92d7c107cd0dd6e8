#include "exchange/pdfreport.h"

#include "data/jobprogress.h"

#include "exchange/pdfcolumn.h"
#include "exchange/reportlayout.h"
#include "exchange/reportpainting.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
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

// The pictures of page 1, scaled to the picture height.
struct FirstPagePictures
{
    bool sceneExists = false;
    QImage scene;
    QImage histogram;
    QImage chart;
    bool hasHistogram = false;
    bool hasChart = false;
};

FirstPagePictures scaledPictures(const ReportLayout &layout, const QString &sceneFileName, const QImage &histogram,
                                 const QImage &chart)
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
        painter.drawImage(QPoint(0, plan.histogram.pictureTop), p.histogram);
    }
    if (plan.chart.captionShown) {
        painter.drawText(0, plan.chart.captionBaseline, QCoreApplication::translate("Widget", "Chart:"));
        painter.drawImage(QPoint(0, plan.chart.pictureTop), p.chart);
    }
}

// One group of summary rows: the cells of a row line up in columns as
// wide as their widest text; a row of one text wraps within the group.
// A group wider than it may be lets the last cell of each shorter row
// (an item's name, a time) span to the group's edge and wrap there, so
// the columns of the full rows keep their widths.
struct SummaryGroup
{
    int left = 0;
    int width = 0;
    int naturalWidth = 0;
    bool spans = false;
    int columns = 0;
    QVector<int> columnLeft;
    QVector<QStringList> rows;
    QVector<int> rowHeights;

    int height() const { return std::accumulate(rowHeights.cbegin(), rowHeights.cend(), 0); }
    // The last cell of a shorter row spans when the group is too narrow.
    bool spanning(const QStringList &row) const { return spans && row.size() >= 2 && row.size() < columns; }
    int cellWidth(int c) const
    {
        return qMax(0, width - columnLeft.value(c));
    }
};

void planColumns(SummaryGroup &g, const QFontMetrics &metrics)
{
    const int gap = metrics.height();
    QVector<int> widths(g.columns);
    int spanNatural = 0;
    for (const QStringList &row : qAsConst(g.rows)) {
        if (row.size() < 2)
            continue;
        const int counted = g.spanning(row) ? row.size() - 1 : row.size();
        for (int c = 0; c < counted; ++c)
            widths[c] = qMax(widths.at(c), metrics.horizontalAdvance(row.at(c)));
    }
    g.columnLeft.clear();
    int x = 0;
    for (const int w : qAsConst(widths)) {
        g.columnLeft << x;
        x += w + gap;
    }
    for (const QStringList &row : qAsConst(g.rows)) {
        if (g.spanning(row))
            spanNatural = qMax(spanNatural, g.columnLeft.at(row.size() - 1) + metrics.horizontalAdvance(row.last()));
    }
    // Without any row of two texts there are no columns and no width.
    g.naturalWidth = qMax(qMax(0, x - gap), spanNatural);
}

// width: the group's width, 0 for its natural width but at most maxWidth
// (0: no limit).
SummaryGroup planSummaryGroup(const QVector<QStringList> &rows, int left, int width, int maxWidth,
                              const QFontMetrics &metrics)
{
    SummaryGroup g;
    g.left = left;
    g.rows = rows;
    for (const QStringList &row : rows)
        g.columns = qMax(g.columns, row.size());
    planColumns(g, metrics);
    if (maxWidth > 0 && g.naturalWidth > maxWidth) {
        g.spans = true;
        planColumns(g, metrics);
        g.naturalWidth = qMin(g.naturalWidth, maxWidth);
    }
    g.width = width > 0 ? width : g.naturalWidth;
    for (const QStringList &row : rows) {
        int h = metrics.height();
        if (row.size() == 1)
            h = wrappedHeight(row.first(), g.width, metrics);
        else if (g.spanning(row))
            h = wrappedHeight(row.last(), g.cellWidth(row.size() - 1), metrics);
        g.rowHeights << h;
    }
    return g;
}

void drawSummaryGroup(QPainter &painter, const SummaryGroup &g, int top)
{
    const QFontMetrics metrics = painter.fontMetrics();
    int y = top;
    for (int r = 0; r < g.rows.size(); ++r) {
        const QStringList &row = g.rows.at(r);
        const int h = g.rowHeights.at(r);
        if (row.size() == 1) {
            const int w = qMax(1, g.width);
            painter.drawText(QRect(g.left, y, g.width, h),
                             Qt::AlignLeft | Qt::AlignTop | wrapFlags(row.first(), w, metrics), row.first());
        } else {
            for (int c = 0; c < row.size() && c < g.columnLeft.size(); ++c) {
                const int x = g.columnLeft.at(c);
                const QRect cell(g.left + x, y, g.cellWidth(c), h);
                if (g.spanning(row) && c == row.size() - 1)
                    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | wrapFlags(row.at(c), cell.width(), metrics),
                                     row.at(c));
                else
                    // Beside a wrapped cell, the other cells stand at its first line.
                    painter.drawText(cell, Qt::AlignLeft | (h > metrics.height() ? Qt::AlignTop : Qt::AlignVCenter),
                                     row.at(c));
            }
        }
        y += h;
    }
}

// The summary's two groups: the left one as wide as its columns, the right
// one after a gap, up to the page's right edge. The right group keeps its
// natural width; the left one gives way when both do not fit.
struct SummaryPlan
{
    SummaryGroup left;
    SummaryGroup right;
    int height() const { return qMax(left.height(), right.height()); }
};

SummaryPlan planSummary(const ReportSummary &summary, int pageWidth, const QFontMetrics &metrics)
{
    const int gap = 2 * metrics.height();
    SummaryPlan plan;
    const int rightNatural = planSummaryGroup(summary.right, 0, 0, 0, metrics).naturalWidth;
    const int room = rightNatural > 0 ? qMax(pageWidth / 3, pageWidth - rightNatural - gap) : pageWidth;
    plan.left = planSummaryGroup(summary.left, 0, 0, room, metrics);
    const int rightLeft = plan.left.naturalWidth > 0 ? plan.left.naturalWidth + gap : 0;
    plan.right = planSummaryGroup(summary.right, rightLeft, pageWidth - rightLeft, 0, metrics);
    return plan;
}

void drawSummary(QPainter &painter, const SummaryPlan &plan, int top)
{
    drawSummaryGroup(painter, plan.left, top);
    drawSummaryGroup(painter, plan.right, top);
}

QFont boldFont(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

// The blocks of an inspection report's front pages, one under the other
// with a line's gap; a block that does not fit under the one before
// starts the next front page.
struct FrontPlan
{
    enum Kind { Heading, Details, Summary };
    struct Block
    {
        Kind kind;
        int height = 0;
        int page = 0;
        int top = 0;
    };
    QVector<Block> blocks;
    int pages = 0;
    int headingWidth = 0;     // room left of the date
    int captionWidth = 0;     // the details' captions and their gap
};

int headingHeight(const ReportInspection &in, int width, const QFontMetrics &metrics, const QFontMetrics &bold)
{
    int height = in.date.isEmpty() ? 0 : metrics.height();
    int lines = 0;
    for (int i = 0; i < in.heading.size(); ++i)
        lines += wrappedHeight(in.heading.at(i), width, i == 0 ? bold : metrics);
    // The rule under the heading and its gap.
    return qMax(height, lines) + metrics.height() / 2;
}

int detailsHeight(const ReportInspection &in, const FrontPlan &plan, int pageWidth, const QFontMetrics &metrics)
{
    int height = in.detailsTitle.isEmpty() ? 0 : metrics.height();
    for (const QStringList &row : in.details)
        height += wrappedHeight(row.value(1), pageWidth - plan.captionWidth, metrics);
    return height;
}

FrontPlan planFront(const ReportInspection &in, const SummaryPlan &summary, bool hasSummary,
                    const ReportLayout &layout, const QFont &font, QPaintDevice *device)
{
    const QFontMetrics metrics(font, device);
    const QFontMetrics bold(boldFont(font), device);
    const int h = metrics.height();
    const int w = layout.width();
    FrontPlan plan;
    plan.headingWidth = in.date.isEmpty() ? w : w - metrics.horizontalAdvance(in.date) - 2 * h;
    for (const QStringList &row : in.details)
        plan.captionWidth = qMax(plan.captionWidth, metrics.horizontalAdvance(row.value(0)) + h);
    if (!in.heading.isEmpty() || !in.date.isEmpty())
        plan.blocks << FrontPlan::Block{FrontPlan::Heading, headingHeight(in, plan.headingWidth, metrics, bold)};
    if (!in.details.isEmpty())
        plan.blocks << FrontPlan::Block{FrontPlan::Details, detailsHeight(in, plan, w, metrics)};
    if (hasSummary)
        plan.blocks << FrontPlan::Block{FrontPlan::Summary, summary.height()};

    int page = 0;
    int y = 0;
    for (FrontPlan::Block &block : plan.blocks) {
        if (y > 0 && y + block.height > layout.bodyBottom()) {
            ++page;
            y = 0;
        }
        block.page = page;
        block.top = y;
        y += block.height + h;
    }
    plan.pages = plan.blocks.isEmpty() ? 0 : page + 1;
    return plan;
}

void drawFrontBlock(QPainter &painter, const FrontPlan &plan, const FrontPlan::Block &block,
                    const ReportInspection &in, const SummaryPlan &summary, int pageWidth)
{
    const QFont font = painter.font();
    const QFontMetrics metrics(font, painter.device());
    const int h = metrics.height();
    switch (block.kind) {
    case FrontPlan::Heading: {
        painter.drawText(QRect(0, block.top, pageWidth, h), Qt::AlignRight | Qt::AlignTop, in.date);
        int y = block.top;
        for (int i = 0; i < in.heading.size(); ++i) {
            painter.setFont(i == 0 ? boldFont(font) : font);
            const QFontMetrics m = painter.fontMetrics();
            const QString &line = in.heading.at(i);
            const int lh = wrappedHeight(line, plan.headingWidth, m);
            painter.drawText(QRect(0, y, plan.headingWidth, lh),
                             Qt::AlignLeft | Qt::AlignTop | wrapFlags(line, plan.headingWidth, m), line);
            y += lh;
        }
        painter.setFont(font);
        const int rule = block.top + block.height - h / 4;
        painter.drawLine(0, rule, pageWidth, rule);
        break;
    }
    case FrontPlan::Details: {
        int y = block.top;
        if (!in.detailsTitle.isEmpty()) {
            painter.setFont(boldFont(font));
            painter.drawText(QRect(0, y, pageWidth, h), Qt::AlignLeft | Qt::AlignTop, in.detailsTitle);
            painter.setFont(font);
            y += h;
        }
        const int textWidth = pageWidth - plan.captionWidth;
        for (const QStringList &row : in.details) {
            const QString text = row.value(1);
            const int rh = wrappedHeight(text, textWidth, metrics);
            painter.drawText(QRect(0, y, plan.captionWidth, h), Qt::AlignLeft | Qt::AlignTop, row.value(0));
            painter.drawText(QRect(plan.captionWidth, y, textWidth, rh),
                             Qt::AlignLeft | Qt::AlignTop | wrapFlags(text, textWidth, metrics), text);
            y += rh;
        }
        break;
    }
    case FrontPlan::Summary:
        drawSummary(painter, summary, block.top);
        break;
    }
}

} // namespace

bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart, QString *error)
{
    return writePdfReport(fileName, table, columns, sceneFileName, histogram, chart, ReportSummary(), error);
}

bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart,
                    const ReportSummary &summary, QString *error)
{
    return writePdfReport(fileName, table, columns, sceneFileName, histogram, chart, summary, ReportInspection(),
                          error);
}

bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart,
                    const ReportSummary &summary, const ReportInspection &inspection, QString *error,
                    JobProgress *progress)
{
    return paintPdfFile(fileName, QPageLayout::Portrait, [&](QPdfWriter &writer, QPainter &painter) {
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
        // An inspection report has the summary on its front page.
        const bool inspecting = !inspection.isEmpty();
        const FrontPlan front = inspecting
            ? planFront(inspection, summaryPlan, !summary.isEmpty(), layout, font, &writer)
            : FrontPlan();
        layout.setFrontPages(front.pages);
        // One line's gap under the chart; the block must end above the
        // page number.
        const int underChart = plan.end + pictures.chart.height() + h;
        const bool summaryUnderChart = underChart + summaryPlan.height() <= layout.pageNumberRect(0).top();
        const bool summaryOnPictures = !inspecting && !summary.isEmpty();
        layout.setSummaryPage(summaryOnPictures && !summaryUnderChart);
        // The closing block under the last row, or under the chart when
        // there are no rows; otherwise on a page of its own.
        const int closingHeight = closingBlockHeight(inspection.closing, painter.fontMetrics());
        const int closingTop = layout.tablePageCount() > 0 ? layout.belowLastRow() : underChart;
        const bool closingFits = closingTop + closingHeight <= layout.pageNumberRect(0).top();
        layout.setClosingPage(!inspection.closing.isEmpty() && !closingFits);
        const int closingWidth = layout.width() / 2;

        for (int page = 0; page < front.pages; ++page) {
            if (page > 0)
                writer.newPage();
            for (const FrontPlan::Block &block : front.blocks) {
                if (block.page == page)
                    drawFrontBlock(painter, front, block, inspection, summaryPlan, layout.width());
            }
            drawPageNumber(painter, layout, page + 1);
        }
        if (front.pages > 0)
            writer.newPage();

        drawFirstPage(painter, plan, pictures);
        if (summaryOnPictures && summaryUnderChart)
            drawSummary(painter, summaryPlan, underChart);
        if (!inspection.closing.isEmpty() && closingFits && layout.tablePageCount() == 0)
            drawClosingBlock(painter, inspection.closing, layout.margin(), closingTop, closingWidth);
        drawPageNumber(painter, layout, layout.picturePageNumber());

        const QPen pen = painter.pen();
        QPen tablePen = pen;
        tablePen.setWidth(2);
        painter.setPen(tablePen);

        const int tablePages = layout.tablePageCount();
        if (progress)
            progress->beginStep(QCoreApplication::translate("Widget", "Writing the report… page"), tablePages);
        for (int p = 0; p < tablePages; ++p) {
            if (progress) {
                if (progress->isCancelled())
                    return false;
                progress->setDone(p);
            }
            // Every page break, including the one after the first page.
            writer.newPage();
            drawTablePage(painter, layout, p, table, columns);
        }
        if (!inspection.closing.isEmpty() && closingFits && tablePages > 0)
            drawClosingBlock(painter, inspection.closing, layout.margin(), closingTop, closingWidth);
        if (layout.hasSummaryPage()) {
            writer.newPage();
            painter.setPen(pen);
            drawSummary(painter, summaryPlan, h);
            drawPageNumber(painter, layout, layout.pageCount());
        }
        if (layout.hasClosingPage()) {
            writer.newPage();
            drawClosingBlock(painter, inspection.closing, layout.margin(), h, closingWidth);
            drawPageNumber(painter, layout, layout.pageCount());
        }
        return true;
    }, error);
}
