#include "app/widget.h"
#include "ui_widget.h"

#include "data/storedownload.h"

#include "device/deviceinterfaces.h"

#include <QMessageBox>

void Widget::slotAction()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    if (action == ui->actionConnect) {
        // On success the action states follow the plug-in's opened().
        if (!dmm || !dmm->open(serialDevice))
            QMessageBox::critical(this, QString(), tr("Failed to open device."), QMessageBox::Ok);
    } else if (action == ui->actionDisconnect) {
        if (dmm)
            dmm->close();
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
    ui->actionStart->setEnabled(!measuring && (!currentItem || currentItem != storeDataItem()));
    ui->actionStop->setEnabled(measuring);
}

void Widget::slotDmmClosed()
{
    // A download cut off keeps the one before it.
    storeDownload->linkClosed();
    ui->actionConnect->setEnabled(true);
    ui->actionDisconnect->setEnabled(!ui->actionConnect->isEnabled());
    stopMeasuring();
    ui->actionStart->setEnabled(false);
}

void Widget::slotUSBRefreshed()
{
    ui->actionConnect->setEnabled(gaugePortPresent());
}

void Widget::on_actionStart_triggered()
{
    if (currentItem && currentItem == storeDataItem())
        return;
    measuring = true;
    ui->actionStart->setEnabled(false);
    ui->actionStop->setEnabled(true);
}

void Widget::on_actionStop_triggered()
{
    stopMeasuring();
}

void Widget::stopMeasuring()
{
    measuring = false;
    ui->actionStart->setEnabled(dmmIsOpen());
    ui->actionStop->setEnabled(false);
}
