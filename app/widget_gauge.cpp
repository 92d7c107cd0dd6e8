#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/itemstore.h"
#include "data/tvitemmodel.h"
#include "device/gaugelink.h"

#include <QMessageBox>
#include <QProgressDialog>

void Widget::createGaugeLink()
{
    gaugeLink = new GaugeLink(devicePlugins, itemStore, this);
}

void Widget::slotAction()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    if (action == ui->actionConnect) {
        // On success the action states follow the link's opened().
        if (!gaugeLink->open())
            QMessageBox::critical(this, QString(), tr("Failed to open device."), QMessageBox::Ok);
    } else if (action == ui->actionDisconnect) {
        gaugeLink->close();
    } else if (action == ui->actionOption) {
        runOptionsDialog();
    } else if (action == ui->actionClose) {
        close();
    }
}

void Widget::slotDmmOpened()
{
    ui->actionConnect->setEnabled(false);
    ui->actionDisconnect->setEnabled(!ui->actionConnect->isEnabled());
    // A plug-in may report opened() again on a reconnect: a running
    // measurement goes on, and Start and Stop say so.
    const bool measuring = gaugeLink->isMeasuring();
    ui->actionStart->setEnabled(!measuring && (!currentItem || currentItem != storeDataItem()));
    ui->actionStop->setEnabled(measuring);
}

void Widget::slotDmmClosed()
{
    // The link has stopped measuring and let go of a download cut off.
    ui->actionConnect->setEnabled(true);
    ui->actionDisconnect->setEnabled(!ui->actionConnect->isEnabled());
    stopMeasuring();
    ui->actionStart->setEnabled(false);
}

void Widget::slotUSBRefreshed()
{
    ui->actionConnect->setEnabled(gaugeLink->isPortPresent());
}

void Widget::on_actionStart_triggered()
{
    if (!gaugeLink->start())
        return;
    ui->actionStart->setEnabled(false);
    ui->actionStop->setEnabled(true);
}

void Widget::on_actionStop_triggered()
{
    stopMeasuring();
}

void Widget::stopMeasuring()
{
    gaugeLink->stop();
    ui->actionStart->setEnabled(gaugeLink->isOpen());
    ui->actionStop->setEnabled(false);
}

void Widget::on_actionItemDownload_triggered()
{
    if (!gaugeLink->canDownload())
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
    gaugeLink->startDownload();
}

void Widget::slotDownloadStarted()
{
    // One dialog at a time: an earlier one that finished is let go. The new
    // one is ready before the gauge is asked, which may report progress at once.
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
}

void Widget::slotDownloadRefused()
{
    if (progressDialog)
        progressDialog->close();
}

void Widget::slotDownloadProgressCanceled()
{
    downloadCanceled = true;
    gaugeLink->cancelDownload();
}
