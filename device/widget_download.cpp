#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/tvitemmodel.h"
#include "device/deviceinterfaces.h"

#include <QProgressDialog>

void Widget::on_actionItemDownload_triggered()
{
    if (!dmmIsOpen() || !myDmm)
        return;

    // The views refer to the store item's readings, cleared below.
    dataModel->clear();
    histogram->clear();
    ui->chart->clear();
    if (currentItem)
        itemStore->switchUnit(currentItem, QStringLiteral("um"));

    const QString title = thicknessTitle(true);
    histogram->setYTitle(title);
    histogram->setDecimals(1);
    ui->chart->setYTitle(title);
    ui->chart->setDecimals(1);

    itemStore->clearReadings(itemStore->storeItem());
    itemSetToActive(itemModel->index(0, 0));
    // Already active, the emptied item is not rebuilt by the activation.
    refreshActiveItem();

    // One dialog at a time: an earlier one that finished is let go. The new
    // one is ready before readStore, which may report progress at once.
    delete progressDialog;
    downloadCanceled = false;
    progressDialog = new QProgressDialog(QString(), tr("Cancel"), 0, 100, this);
    progressDialog->setCancelButton(nullptr);
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setMinimumDuration(1);
    progressDialog->setWindowTitle(tr("Downdloading..."));
    progressDialog->setAttribute(Qt::WA_DeleteOnClose);
    progressDialog->setMinimumWidth(130);
    progressDialog->show();
    connect(progressDialog, &QProgressDialog::canceled, this, &Widget::slotDownloadProgressCanceled);

    myDmm->readStore();
}

void Widget::slotStoreGroupUpdate(int total, int position)
{
    // The dialog deletes itself when closed; the guarded pointer is then null.
    if (downloadCanceled || !progressDialog)
        return;
    progressDialog->setRange(0, total);
    progressDialog->setValue(position - 1);
    // Reaching its maximum hid the dialog: the transfer is over.
    if (!progressDialog->isVisible()) {
        progressDialog->deleteLater();
        progressDialog = nullptr;
    }
}

void Widget::slotDownloadProgressCanceled()
{
    downloadCanceled = true;
}
