#include "exchange/reportpainting.h"

#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"
#include "exchange/reportlayout.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

int wrapFlags(const QString &text, int width, const QFontMetrics &metrics)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (metrics.horizontalAdvance(word) > width)
            return Qt::TextWrapAnywhere;
    }
    return Qt::TextWordWrap;
}

int wrappedHeight(const QString &text, int width, const QFontMetrics &metrics)
{
    const int w = qMax(1, width);
    return qMax(metrics.height(),
                metrics.boundingRect(QRect(0, 0, w, 1 << 24), wrapFlags(text, w, metrics), text).height());
}

void drawPageNumber(QPainter &painter, const ReportLayout &layout, int page)
{
    const QString text = QStringLiteral("%1/%2").arg(page).arg(layout.pageCount());
    const int tw = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(layout.pageNumberRect(tw), Qt::AlignRight | Qt::AlignBottom, text);
}

void drawTablePage(QPainter &painter, const ReportLayout &layout, int page, const QAbstractItemModel &table,
                   const QList<PdfColumn *> &columns)
{
    const QFontMetrics metrics = painter.fontMetrics();

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    painter.drawText(layout.stampRect(metrics.horizontalAdvance(stamp)), Qt::AlignBottom, stamp);
    drawPageNumber(painter, layout, layout.tablePageNumber(page));

    painter.drawLines(layout.horizontalRules(page).mid(0, 2));
    painter.drawLines(layout.verticalRules(page));
    for (int c = 0; c < columns.size(); ++c) {
        const QRect rect = layout.headerRect(c);
        painter.drawText(rect, Qt::AlignCenter, metrics.elidedText(columns.at(c)->title, Qt::ElideRight, rect.width()));
    }

    const QVector<QLine> rowRules = layout.horizontalRules(page).mid(2);
    const int first = layout.firstRowOfTablePage(page);
    for (int i = 0; i < layout.rowsOnTablePage(page); ++i) {
        for (int c = 0; c < columns.size(); ++c) {
            const QString text = reportCellText(table.data(table.index(first + i, c), Qt::DisplayRole));
            const QRect rect = layout.cellRect(i, c);
            painter.drawText(rect, Qt::AlignHCenter | Qt::AlignBottom,
                             metrics.elidedText(text, Qt::ElideRight, rect.width()));
        }
        painter.drawLine(rowRules.at(i));
    }
}

namespace {

int captionWidth(const QVector<QStringList> &rows, const QFontMetrics &metrics)
{
    int width = 0;
    for (const QStringList &row : rows)
        width = qMax(width, metrics.horizontalAdvance(row.value(0)));
    return width;
}

} // namespace

int closingBlockHeight(const QVector<QStringList> &rows, const QFontMetrics &metrics)
{
    // Room above each line to write on.
    return rows.size() * 2 * metrics.height();
}

void drawClosingBlock(QPainter &painter, const QVector<QStringList> &rows, int left, int top, int width)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int h = metrics.height();
    const int lineLeft = left + captionWidth(rows, metrics) + h;
    const int lineRight = qMax(lineLeft + 4 * h, left + width);
    for (int r = 0; r < rows.size(); ++r) {
        const int y = top + r * 2 * h;
        const QStringList &row = rows.at(r);
        painter.drawText(QRect(left, y, lineLeft - left, 2 * h), Qt::AlignLeft | Qt::AlignBottom, row.value(0));
        const QRect onLine(lineLeft + h / 2, y, lineRight - lineLeft - h, 2 * h);
        painter.drawText(onLine, Qt::AlignLeft | Qt::AlignBottom,
                         metrics.elidedText(row.value(1), Qt::ElideRight, onLine.width()));
        painter.drawLine(lineLeft, y + 2 * h, lineRight, y + 2 * h);
    }
}

bool paintPdfFile(const QString &fileName, QPageLayout::Orientation orientation,
                  const std::function<bool(QPdfWriter &writer, QPainter &painter)> &paint, QString *error)
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
        writer.setPageOrientation(orientation);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            if (error)
                *error = QCoreApplication::translate("Widget", "The PDF writer could not start.");
            return false;
        }
        const bool painted = paint(writer, painter);
        painter.end();
        if (!painted) {
            file.cancelWriting();
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
