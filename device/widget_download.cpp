#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/storedownload.h"
#include "data/tvitemmodel.h"
#include "device/deviceinterfaces.h"

#include <QProgressDialog>

void Widget::on_actionItemDownload_triggered()
{
    if (!dmmIsOpen() || !myDmm)
        return;

    if (currentItem)
        itemStore->switchUnit(currentItem, QStringLiteral("um"));

    const QString title = thicknessTitle(true);
    histogram->setYTitle(title);
    histogram->setDecimals(1);
    ui->chart->setYTitle(title);
    ui->chart->setDecimals(1);

    // "Store Data" keeps what the last download left, on screen and in the
    // measurement file, until this one has arrived in full.
    itemSetToActive(itemModel->index(0, 0));
    refreshActiveItem();
    storeDownload->start();

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

    if (!myDmm->readStore() && storeDownload->isGathering() && !progressDialog.isNull()) {
        // The gauge refused: nothing will arrive, so nothing is waited for.
        storeDownload->linkClosed();
        progressDialog->close();
    }
}

void Widget::slotStoreGroupUpdate(int total, int position)
{
    // The dialog deletes itself when closed; the guarded pointer is then null.
    if (!downloadCanceled && progressDialog) {
        progressDialog->setRange(0, total);
        progressDialog->setValue(position - 1);
        // Reaching its maximum hid the dialog: the transfer is over.
        if (!progressDialog->isVisible()) {
            progressDialog->deleteLater();
            progressDialog = nullptr;
        }
    }
    if (storeDownload->progress(total, position))
        finishDownload();
}

void Widget::slotDownloadProgressCanceled()
{
    downloadCanceled = true;
    if (storeDownload->cancel())
        finishDownload();
}

void Widget::finishDownload()
{
    // One step: the file holds the earlier download or this one, whole.
    itemStore->replaceReadings(itemStore->storeItem(), storeDownload->finish());
}
