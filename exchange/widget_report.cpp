#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "exchange/itemreport.h"
#include "exchange/jobsummary.h"
#include "exchange/pdfreport.h"
#include "exchange/summaryreport.h"
#include "exchange/savedialog.h"
#include "exchange/savedfile.h"

#include <QFileDialog>
#include <QMessageBox>

void Widget::exportPdf(const QString &sceneFileName)
{
    const QString name =
        askSaveFileName(this, tr("Export the datas to a pdf file."), QString(), QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    // The views' pictures as they are now, after the dialog.
    paintAllViews();
    // The summary of the item whose readings the table shows; with
    // inspection details or limits, the inspection report around it.
    ReportSummary summary;
    ReportInspection inspection;
    if (currentItem) {
        summary = ItemReport::summary(summarizeItem(*currentItem), currentItem->limits());
        if (ItemReport::isInspection(*currentItem))
            inspection = ItemReport::inspection(*currentItem, QDate::currentDate());
    }
    QString error;
    if (!writePdfReport(name, *dataModel, pdfColumns, sceneFileName, histogram->pixmap(), ui->chart->pixmap(),
                        summary, inspection, &error)) {
        showExportFailure(error);
        return;
    }
    QMessageBox::information(this, QString(), tr("The datas is exported successfully."), QMessageBox::Ok);
}

void Widget::exportSummary()
{
    const QString name = askSaveFileName(this, tr("Export the summary of all items to a pdf file."), QString(),
                                         QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    QList<const ItemData *> items;
    for (ItemData *item : QList<ItemData *>{itemStore->storeItem()} + itemStore->items()) {
        itemStore->loadReadingsOf(item);
        items << item;
    }
    const JobSummary job = summarizeJob(items);
    if (job.rows.isEmpty()) {
        showExportFailure(tr("No item has readings."));
        return;
    }
    QString error;
    if (!writeSummaryReport(name, job, &error)) {
        showExportFailure(error);
        return;
    }
    QMessageBox::information(this, QString(), tr("The datas is exported successfully."), QMessageBox::Ok);
}
