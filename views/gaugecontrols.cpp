#include "views/gaugecontrols.h"

#include "data/itemstore.h"
#include "device/gaugelink.h"

#include <QAction>
#include <QMessageBox>
#include <QProgressDialog>

GaugeControls::GaugeControls(GaugeLink *link, ItemStore *store, const GaugeActions &actions, QWidget *dialogParent,
                             QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_store(store)
    , m_actions(actions)
    , m_dialogParent(dialogParent)
{
    m_actions.connect->setEnabled(link->isPortPresent());

    connect(link, &GaugeLink::opened, this, &GaugeControls::onOpened);
    connect(link, &GaugeLink::closed, this, &GaugeControls::onClosed);
    connect(link, &GaugeLink::portsRefreshed, this,
            [this] { m_actions.connect->setEnabled(m_link->isPortPresent()); });
    connect(link, &GaugeLink::downloadStarted, this, &GaugeControls::onDownloadStarted);
    connect(link, &GaugeLink::downloadProgress, this, &GaugeControls::onDownloadProgress);
    connect(link, &GaugeLink::downloadRefused, this, &GaugeControls::onDownloadRefused);
    // Activating an item ends a measurement.
    connect(store, &ItemStore::activeItemChanged, this, &GaugeControls::onActiveItemChanged);

    connect(m_actions.connect, &QAction::triggered, this, &GaugeControls::connectGauge);
    connect(m_actions.disconnect, &QAction::triggered, link, &GaugeLink::close);
    connect(m_actions.start, &QAction::triggered, this, &GaugeControls::startMeasuring);
    connect(m_actions.stop, &QAction::triggered, this, &GaugeControls::stopMeasuring);
}

bool GaugeControls::measuringRefused() const
{
    ItemData *active = m_store->activeItem();
    return active && (active == m_store->storeItem() || ItemStore::isTeamItem(active));
}

void GaugeControls::connectGauge()
{
    // On success the action states follow the link's opened().
    if (!m_link->open())
        QMessageBox::critical(m_dialogParent, QString(), tr("Failed to open device."), QMessageBox::Ok);
}

void GaugeControls::startMeasuring()
{
    if (!m_link->start())
        return;
    m_actions.start->setEnabled(false);
    m_actions.stop->setEnabled(true);
}

void GaugeControls::stopMeasuring()
{
    m_link->stop();
    m_actions.start->setEnabled(m_link->isOpen());
    m_actions.stop->setEnabled(false);
}

void GaugeControls::onOpened()
{
    m_actions.connect->setEnabled(false);
    m_actions.disconnect->setEnabled(true);
    // A plug-in may report opened() again on a reconnect: a running
    // measurement goes on, and Start and Stop say so.
    const bool measuring = m_link->isMeasuring();
    m_actions.start->setEnabled(!measuring && !measuringRefused());
    m_actions.stop->setEnabled(measuring);
}

void GaugeControls::onClosed()
{
    // The link has stopped measuring and let go of a download cut off.
    m_actions.connect->setEnabled(true);
    m_actions.disconnect->setEnabled(false);
    stopMeasuring();
    m_actions.start->setEnabled(false);
}

void GaugeControls::onActiveItemChanged(ItemData *item)
{
    if (!item)
        return;
    stopMeasuring();
    if (measuringRefused())
        m_actions.start->setEnabled(false);
}

void GaugeControls::onDownloadStarted()
{
    // One dialog at a time: an earlier one that finished is let go. The new
    // one is ready before the gauge is asked, which may report progress at once.
    delete m_progress;
    m_downloadCanceled = false;
    m_progress = new QProgressDialog(QString(), tr("Cancel"), 0, 100, m_dialogParent);
    m_progress->setCancelButton(nullptr);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(1);
    m_progress->setWindowTitle(tr("Downdloading..."));
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setMinimumWidth(130);
    m_progress->show();
    connect(m_progress, &QProgressDialog::canceled, this, &GaugeControls::onDownloadCanceled);
}

void GaugeControls::onDownloadProgress(int total, int position)
{
    // The dialog deletes itself when closed; the guarded pointer is then null.
    if (m_downloadCanceled || !m_progress)
        return;
    m_progress->setRange(0, total);
    m_progress->setValue(position - 1);
    // Reaching its maximum hid the dialog: the transfer is over.
    if (!m_progress->isVisible()) {
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

void GaugeControls::onDownloadRefused()
{
    if (m_progress)
        m_progress->close();
}

void GaugeControls::onDownloadCanceled()
{
    m_downloadCanceled = true;
    m_link->cancelDownload();
}
