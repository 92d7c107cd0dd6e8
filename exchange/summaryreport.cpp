#include "exchange/summaryreport.h"

#include "exchange/itemreport.h"
#include "exchange/jobsummary.h"
#include "exchange/pdfcolumn.h"
#include "exchange/reportlayout.h"
#include "exchange/reportpainting.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardItemModel>

#include <memory>
#include <vector>

namespace {

int countsHeight(const JobSummary &job, const QFontMetrics &metrics)
{
    return job.countLines().size() * metrics.height();
}

void drawCounts(QPainter &painter, const JobSummary &job, int left, int top)
{
    const int h = painter.fontMetrics().height();
    const QStringList lines = job.countLines();
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRect(left, top + i * h, 1 << 20, h), Qt::AlignLeft | Qt::AlignTop, lines.at(i));
}

void drawTitle(QPainter &painter, const ReportLayout &layout, const QString &title)
{
    painter.drawText(QRect(layout.margin(), 0, layout.width() / 2, 3 * layout.rowHeight()),
                     Qt::AlignLeft | Qt::AlignBottom, title);
}

} // namespace

bool writeSummaryReport(const QString &fileName, const JobSummary &job, QString *error)
{
    // The texts as the table's cells.
    QStandardItemModel table(job.rows.size(), JobSummary::columnTitles().size());
    for (int r = 0; r < job.rows.size(); ++r) {
        const QStringList &row = job.rows.at(r);
        for (int c = 0; c < row.size() && c < table.columnCount(); ++c)
            table.setItem(r, c, new QStandardItem(row.at(c)));
    }
    std::vector<std::unique_ptr<PdfColumn>> owned;
    QList<PdfColumn *> columns;
    const QStringList titles = JobSummary::columnTitles();
    const QVector<int> weights = JobSummary::columnWeights();
    for (int c = 0; c < titles.size(); ++c) {
        owned.emplace_back(new PdfColumn{titles.at(c), weights.value(c, 1)});
        columns << owned.back().get();
    }
    const QVector<QStringList> signature = ItemReport::signatureRows(job.inspector);
    const QString title = ItemReport::tr("Summary of all items");

    return paintPdfFile(fileName, QPageLayout::Landscape, [&](QPdfWriter &writer, QPainter &painter) {
        QFont font = painter.font();
        font.setPointSize(10);
        painter.setFont(font);
        const QFontMetrics metrics = painter.fontMetrics();
        const int h = metrics.height();
        // Rows one and a half lines high.
        ReportLayout layout(writer.width(), writer.height(), 3 * h / 4, h, table.rowCount(), weights);
        // The summary has no picture page: its table starts on page 1.
        layout.setPicturePage(false);

        const int endTop = layout.tablePageCount() > 0 ? layout.belowLastRow() : 4 * layout.rowHeight();
        const int endHeight = countsHeight(job, metrics) + h + closingBlockHeight(signature, metrics);
        const bool endFits = endTop + endHeight <= layout.pageNumberRect(0).top();
        layout.setClosingPage(!endFits || layout.tablePageCount() == 0);
        const int closingWidth = layout.width() / 3;

        QPen pen = painter.pen();
        pen.setWidth(2);
        painter.setPen(pen);
        const int pages = layout.tablePageCount();
        for (int p = 0; p < pages; ++p) {
            if (p > 0)
                writer.newPage();
            drawTitle(painter, layout, title);
            drawTablePage(painter, layout, p, table, columns);
        }
        int top = endTop;
        if (layout.hasClosingPage()) {
            if (pages > 0)
                writer.newPage();
            drawTitle(painter, layout, title);
            drawPageNumber(painter, layout, layout.pageCount());
            top = 4 * layout.rowHeight();
        }
        drawCounts(painter, job, layout.margin(), top);
        drawClosingBlock(painter, signature, layout.margin(), top + countsHeight(job, metrics) + h, closingWidth);
        return true;
    }, error);
}
