#include "device/gaugelink.h"

#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "device/deviceinterfaces.h"
#include "device/dmmreading.h"

GaugeLink::GaugeLink(const DevicePlugins &plugins, ItemStore *store, QObject *parent)
    : QObject(parent)
    , m_plugins(plugins)
    , m_store(store)
{
    if (m_plugins.dmm) {
        QObject *meter = m_plugins.dmm->signalObject();
        connect(meter, SIGNAL(opened()), this, SLOT(onOpened()));
        connect(meter, SIGNAL(closed()), this, SLOT(onClosed()));
        connect(meter, SIGNAL(message(QString)), this, SLOT(onMessage(QString)));
        connect(meter, SIGNAL(display(DmmData *)), this, SLOT(onDisplay(DmmData *)));
        connect(meter, SIGNAL(displayStore(DmmData *)), this, SLOT(onDisplayStore(DmmData *)));
        connect(meter, SIGNAL(displayStoreData(QList<DmmData *>)), this, SLOT(onDisplayStoreData(QList<DmmData *>)));
        connect(meter, SIGNAL(storeGroupUpdate(int, int)), this, SLOT(onStoreGroupUpdate(int, int)));
    }
    if (m_plugins.serialDevice)
        connect(m_plugins.serialDevice->signalObject(), SIGNAL(usbRefreshed()), this, SLOT(onUsbRefreshed()));
}

bool GaugeLink::isPortPresent() const
{
    return gaugePortPresent(m_plugins);
}

bool GaugeLink::isOpen() const
{
    return m_plugins.dmm && m_plugins.dmm->isOpen();
}

bool GaugeLink::canDownload() const
{
    return isOpen() && m_plugins.myDmm;
}

bool GaugeLink::open()
{
    return m_plugins.dmm && m_plugins.dmm->open(m_plugins.serialDevice);
}

void GaugeLink::close()
{
    if (m_plugins.dmm)
        m_plugins.dmm->close();
}

bool GaugeLink::start()
{
    ItemData *active = m_store->activeItem();
    if (active && (active == m_store->storeItem() || ItemStore::isTeamItem(active)))
        return false;
    m_measuring = true;
    return true;
}

void GaugeLink::stop()
{
    m_measuring = false;
}

void GaugeLink::onOpened()
{
    emit opened();
}

void GaugeLink::onClosed()
{
    // A download cut off keeps the one before it.
    m_download.linkClosed();
    m_measuring = false;
    emit closed();
}

void GaugeLink::onUsbRefreshed()
{
    emit portsRefreshed();
}

void GaugeLink::onMessage(QString text)
{
    emit message(text);
}

void GaugeLink::onDisplay(DmmData *data)
{
    if (!data)
        return;
    const ReadingFields reading = readingFieldsOf(*data);
    delete data;
    ItemData *item = m_store->activeItem();
    if (!m_measuring || !item || item->type() != ItemData::Measure)
        return;

    const Unit unit = readingUnit(reading.unit);
    if (item->unit() == unit) {
        m_store->append(item, reading);
        return;
    }
    // A reading in another unit switches the item, and with it the views,
    // which are rebuilt in the new unit. The unit and the reading are kept
    // as one step, committed before anything paints.
    m_store->beginChanges();
    m_store->setUnit(item, unit);
    m_store->append(item, reading);
    m_store->flush();
    m_store->endChanges();
}

ItemData *GaugeLink::storeTarget() const
{
    ItemData *item = m_store->activeItem();
    return item && item->type() == ItemData::StoreData ? item : nullptr;
}

void GaugeLink::onDisplayStore(DmmData *data)
{
    if (!data)
        return;
    const ReadingFields reading = readingFieldsOf(*data);
    delete data;
    // A download gathers its readings until it is complete.
    if (m_download.isGathering() || m_download.isDiscarding()) {
        m_download.take(reading);
        return;
    }
    if (ItemData *item = storeTarget())
        m_store->append(item, reading);
}

void GaugeLink::onDisplayStoreData(QList<DmmData *> datas)
{
    ReadingSeries readings;
    for (DmmData *data : qAsConst(datas)) {
        if (data)
            readings.append(readingFieldsOf(*data));
    }
    qDeleteAll(datas);
    if (m_download.isGathering() || m_download.isDiscarding()) {
        m_download.take(readings);
        return;
    }
    if (ItemData *item = storeTarget())
        m_store->append(item, readings, true);
}

void GaugeLink::startDownload()
{
    if (!canDownload())
        return;
    m_download.start();
    emit downloadStarted();
    if (!m_plugins.myDmm->readStore() && m_download.isGathering()) {
        // The gauge refused: nothing will arrive, so nothing is waited for.
        m_download.linkClosed();
        emit downloadRefused();
    }
}

void GaugeLink::onStoreGroupUpdate(int total, int position)
{
    emit downloadProgress(total, position);
    if (m_download.progress(total, position))
        finishDownload();
}

void GaugeLink::cancelDownload()
{
    if (m_download.cancel())
        finishDownload();
}

void GaugeLink::finishDownload()
{
    // One step: the file holds the earlier download or this one, whole.
    m_store->replaceReadings(m_store->storeItem(), m_download.finish());
    emit downloadFinished();
}
