#pragma once

#include "device/deviceinterfaces.h"
#include "tests/plugins/testdmmcontrol.h"

#include <QObject>

// A device plug-in for tests. Which interfaces it answers to is chosen at
// build time, so the same source gives the full plug-in and the partial
// ones the loading tests combine.
class TestDmm : public QObject,
                public SerialDeviceInf,
                public SerialRS232VirInf,
                public IDmm,
                public IMyDmm,
                public SimulatedPortInf,
                public TestDmmControl
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IDmm_iid)
#if defined(TESTDMM_SERIAL_ONLY)
    Q_INTERFACES(SerialDeviceInf SerialRS232VirInf SimulatedPortInf TestDmmControl)
#elif defined(TESTDMM_REAL_PORT)
    Q_INTERFACES(SerialDeviceInf SerialRS232VirInf IDmm IMyDmm TestDmmControl)
#elif defined(TESTDMM_METER_ONLY)
    Q_INTERFACES(IDmm IMyDmm TestDmmControl)
#else
    Q_INTERFACES(SerialDeviceInf SerialRS232VirInf IDmm IMyDmm SimulatedPortInf TestDmmControl)
#endif

public:
    bool openPort(const QString &) override { return true; }
    void closePort() override {}
    qint64 writeData(const QByteArray &data) override { return data.size(); }
    QObject *signalObject() override { return this; }

    QSerialPortInfo findPort(quint16, quint16) override
    {
        ++m_findPortCalls;
        return QSerialPortInfo();
    }
    bool hasPort(quint16 vendorId, quint16 productId) override
    {
        return m_portPresent && vendorId == GaugeVendorId && productId == GaugeProductId;
    }

    bool open(SerialDeviceInf *) override
    {
        ++m_openCalls;
        if (m_openResult)
            m_linkOpen = true;
        return m_openResult;
    }
    bool close() override
    {
        ++m_closeCalls;
        m_linkOpen = false;
        return true;
    }
    bool isOpen() override { return m_linkOpen; }
    bool readStore() override
    {
        ++m_readStoreCalls;
        if (m_readStoreTotal > 0)
            emit storeGroupUpdate(m_readStoreTotal, m_readStorePosition);
        return true;
    }

    void reset() override
    {
        m_portPresent = true;
        m_openResult = true;
        m_linkOpen = false;
        m_openCalls = m_closeCalls = m_readStoreCalls = m_findPortCalls = 0;
        m_readStoreTotal = m_readStorePosition = 0;
    }
    void setPortPresent(bool present) override { m_portPresent = present; }
    void setOpenResult(bool result) override { m_openResult = result; }
    void setLinkOpen(bool open) override { m_linkOpen = open; }
    void setProgressInReadStore(int total, int position) override
    {
        m_readStoreTotal = total;
        m_readStorePosition = position;
    }

    void emitOpened() override { emit opened(); }
    void emitClosed() override { emit closed(); }
    void emitMessage(const QString &text) override { emit message(text); }
    void emitDisplay(DmmData *data) override { emit display(data); }
    void emitDisplayStore(DmmData *data) override { emit displayStore(data); }
    void emitDisplayStoreData(const QList<DmmData *> &datas) override { emit displayStoreData(datas); }
    void emitStoreGroupUpdate(int total, int position) override { emit storeGroupUpdate(total, position); }
    void emitUsbRefreshed() override { emit usbRefreshed(); }

    int openCalls() const override { return m_openCalls; }
    int closeCalls() const override { return m_closeCalls; }
    int readStoreCalls() const override { return m_readStoreCalls; }
    int findPortCalls() const override { return m_findPortCalls; }

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
    bool m_portPresent = true;
    bool m_openResult = true;
    bool m_linkOpen = false;
    int m_openCalls = 0;
    int m_closeCalls = 0;
    int m_readStoreCalls = 0;
    int m_readStoreTotal = 0;
    int m_readStorePosition = 0;
    int m_findPortCalls = 0;
};
