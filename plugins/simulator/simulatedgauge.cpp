#include "plugins/simulator/simulatedgauge.h"

#include "device/dmmdata.h"

#include <QTimer>

#include <cmath>

namespace {

constexpr int LiveIntervalMs = 500;
constexpr int StoreGroupIntervalMs = 400;
constexpr int StoreGroups = 5;
constexpr int ReadingsPerGroup = 12;
constexpr double NominalUm = 120.0;
constexpr double ScatterUm = 6.0;

} // namespace

SimulatedGauge::SimulatedGauge(QObject *parent)
    : QObject(parent)
    , m_liveTimer(new QTimer(this))
    , m_random(0x508)
{
    Reading::registerMetaTypes();
    m_liveTimer->setInterval(LiveIntervalMs);
    connect(m_liveTimer, &QTimer::timeout, this, &SimulatedGauge::emitLiveReading);
}

bool SimulatedGauge::openPort(const QString &)
{
    return true;
}

void SimulatedGauge::closePort()
{
}

qint64 SimulatedGauge::writeData(const QByteArray &data)
{
    return data.size();
}

QSerialPortInfo SimulatedGauge::findPort(quint16, quint16)
{
    // The system enumerates no such port; hasPort() says it is there.
    return QSerialPortInfo();
}

bool SimulatedGauge::hasPort(quint16 vendorId, quint16 productId)
{
    return vendorId == GaugeVendorId && productId == GaugeProductId;
}

bool SimulatedGauge::open(SerialDeviceInf *)
{
    if (!m_open) {
        m_open = true;
        m_liveTimer->start();
        emit message(tr("Simulated gauge connected."));
    }
    emit opened();
    return true;
}

bool SimulatedGauge::close()
{
    if (!m_open)
        return true;
    m_open = false;
    m_liveTimer->stop();
    ++m_transfer; // a closed link sends nothing more
    emit message(tr("Simulated gauge disconnected."));
    emit closed();
    return true;
}

bool SimulatedGauge::readStore()
{
    if (!m_open)
        return false;
    // A new request starts the transfer over: the window has emptied its
    // store, so the rest of an earlier transfer would arrive incomplete.
    const int transfer = ++m_transfer;
    emit message(tr("Reading %1 stored groups.").arg(StoreGroups));
    QTimer::singleShot(StoreGroupIntervalMs, this, [this, transfer] { sendStoreGroup(transfer, 1); });
    return true;
}

void SimulatedGauge::sendStoreGroup(int transfer, int position)
{
    if (transfer != m_transfer)
        return;
    emit storeGroupUpdate(StoreGroups, position);
    if (position > StoreGroups)
        return;

    // Stored readings were taken a day ago, three seconds apart.
    const QDateTime start = QDateTime::currentDateTime().addDays(-1).addSecs(
        (position - 1) * ReadingsPerGroup * 3);
    QList<DmmData *> group;
    for (int i = 0; i < ReadingsPerGroup; ++i)
        group << makeReading(start.addSecs(i * 3));

    // Odd groups come as a list, even ones reading by reading.
    if (position % 2 == 1) {
        emit displayStoreData(group);
    } else {
        for (DmmData *reading : qAsConst(group))
            emit displayStore(reading);
    }
    QTimer::singleShot(StoreGroupIntervalMs, this,
                       [this, transfer, position] { sendStoreGroup(transfer, position + 1); });
}

void SimulatedGauge::emitLiveReading()
{
    emit display(makeReading(QDateTime::currentDateTime()));
}

DmmData *SimulatedGauge::makeReading(const QDateTime &time)
{
    const QDateTime stamp = time.addMSecs(-time.time().msec());
    // About one reading in forty is taken with the probe lifted: overload.
    if (m_random.bounded(40) == 0)
        return Reading::make(QStringLiteral("OL"), QStringLiteral("um"), QStringLiteral("Fe"), stamp);

    // Box-Muller: a normal scatter around the nominal film thickness.
    const double u1 = 1.0 - m_random.generateDouble();
    const double u2 = m_random.generateDouble();
    const double normal = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    const double value = std::max(0.0, NominalUm + ScatterUm * normal);
    return Reading::make(QString::number(value, 'f', 1), QStringLiteral("um"), QStringLiteral("Fe"), stamp);
}
