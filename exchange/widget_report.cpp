#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemsummary.h"
#include "exchange/pdfreport.h"
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
    // The summary of the item whose readings the table shows.
    ReportSummary summary;
    if (currentItem) {
        const ItemSummary item = summarizeItem(*currentItem);
        summary.left = reportFigureRows(item);
        summary.right = reportVerdictRows(item);
    }
    QString error;
    if (!writePdfReport(name, *dataModel, pdfColumns, sceneFileName, histogram->pixmap(), ui->chart->pixmap(),
                        summary, &error)) {
        showExportFailure(error);
        return;
    }
    QMessageBox::information(this, QString(), tr("The datas is exported successfully."), QMessageBox::Ok);
}
