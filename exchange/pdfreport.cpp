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

void drawFirstPage(QPainter &painter, const ReportLayout &layout, const QString &sceneFileName,
                   const QPixmap &histogram, const QPixmap &chart)
{
    const int ph = layout.pictureHeight();
    const bool sceneExists = !sceneFileName.isEmpty() && QFileInfo::exists(sceneFileName);
    QImage scene;
    if (sceneExists) {
        // A file that is no readable picture leaves its caption alone.
        scene = QImage(sceneFileName);
        if (!scene.isNull())
            scene = scene.scaledToHeight(ph, Qt::FastTransformation);
    }
    QPixmap histogramPicture;
    if (!histogram.isNull())
        histogramPicture = histogram.scaledToHeight(ph, Qt::FastTransformation);
    QPixmap chartPicture;
    if (!chart.isNull())
        chartPicture = chart.scaledToHeight(ph, Qt::FastTransformation);

    const FirstPagePlan plan = planFirstPage(layout.lineHeight(), sceneExists, scene.height(), !histogram.isNull(),
                                             histogramPicture.height(), !chart.isNull());
    if (plan.scene.captionShown) {
        painter.drawText(0, plan.scene.captionBaseline, QCoreApplication::translate("Widget", "Scene picture:"));
        if (!scene.isNull())
            painter.drawImage(QPoint(0, plan.scene.pictureTop), scene);
    }
    if (plan.histogram.captionShown) {
        painter.drawText(0, plan.histogram.captionBaseline, QCoreApplication::translate("Widget", "Histogram:"));
        painter.drawPixmap(QPoint(0, plan.histogram.pictureTop), histogramPicture);
    }
    if (plan.chart.captionShown) {
        painter.drawText(0, plan.chart.captionBaseline, QCoreApplication::translate("Widget", "Chart:"));
        painter.drawPixmap(QPoint(0, plan.chart.pictureTop), chartPicture);
    }
    drawPageNumber(painter, layout, 1);
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
        const ReportLayout layout(writer.width(), writer.height(), h0, h, table.rowCount(), weights);

        drawFirstPage(painter, layout, sceneFileName, histogram, chart);

        QPen pen = painter.pen();
        pen.setWidth(2);
        painter.setPen(pen);

        const int tablePages = layout.tablePageCount();
        for (int p = 0; p < tablePages; ++p) {
            // Every page break, including the one after the first page.
            writer.newPage();
            drawTablePage(painter, layout, p, table, columns);
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
