#pragma once

#include "device/deviceinterfaces.h"

#include <QList>
#include <QObject>
#include <QRandomGenerator>

class DmmData;
class QTimer;

// A gauge without hardware: a virtual port that is always present, live
// readings about twice a second while open, and a memory of stored groups
// that a download delivers over time.
class SimulatedGauge : public QObject,
                       public SerialDeviceInf,
                       public SerialRS232VirInf,
                       public IDmm,
                       public IMyDmm,
                       public SimulatedPortInf
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IDmm_iid)
    Q_INTERFACES(SerialDeviceInf SerialRS232VirInf IDmm IMyDmm SimulatedPortInf)

public:
    explicit SimulatedGauge(QObject *parent = nullptr);

    // SerialDeviceInf
    bool openPort(const QString &portName) override;
    void closePort() override;
    qint64 writeData(const QByteArray &data) override;
    QObject *signalObject() override { return this; }

    // SerialRS232VirInf
    QSerialPortInfo findPort(quint16 vendorId, quint16 productId) override;

    // IDmm (signalObject() is shared with SerialDeviceInf)
    bool open(SerialDeviceInf *device) override;
    bool close() override;
    bool isOpen() override { return m_open; }

    // IMyDmm
    bool readStore() override;

    // SimulatedPortInf
    bool hasPort(quint16 vendorId, quint16 productId) override;

signals:
    void opened();
    void closed();
    void message(QString text);
    void display(DmmData *data);
    void displayStore(DmmData *data);
    void displayStoreData(QList<DmmData *> datas);
    void storeGroupUpdate(int total, int position);
    void usbRefreshed();

private:
    void emitLiveReading();
    void sendStoreGroup(int transfer, int position);
    DmmData *makeReading(const QDateTime &time);

    bool m_open = false;
    // Numbers the transfers; a group of an older one is not sent.
    int m_transfer = 0;
    QTimer *m_liveTimer = nullptr;
    QRandomGenerator m_random;
};
