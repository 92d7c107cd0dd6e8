#pragma once

#include <QObject>
#include <QSerialPortInfo>
#include <QtPlugin>

// The interfaces a device plug-in offers. Their virtual functions stand in
// the order existing plug-ins were built against: never reorder, insert or
// remove one, and add no virtual destructor (it would take a slot).

class SerialDeviceInf;

// The meter: opens the link over a serial device and emits the readings.
class IDmm
{
public:
    // The object that emits opened(), closed(), message(QString),
    // display(DmmData *), displayStore(DmmData *),
    // displayStoreData(QList<DmmData *>) and storeGroupUpdate(int,int).
    virtual QObject *signalObject() = 0;
    virtual bool open(SerialDeviceInf *device) = 0;
    virtual bool close() = 0;
    virtual bool isOpen() = 0;

protected:
    ~IDmm() = default;
};

// Download of the readings stored in the meter's memory.
class IMyDmm
{
public:
    virtual bool readStore() = 0;

protected:
    ~IMyDmm() = default;
};

// The serial device the meter talks through. The application only uses
// signalObject(); the first three belong to the plug-ins among themselves.
class SerialDeviceInf
{
public:
    virtual bool openPort(const QString &portName) = 0;
    virtual void closePort() = 0;
    virtual qint64 writeData(const QByteArray &data) = 0;
    // The object that emits usbRefreshed() when the set of ports changes.
    virtual QObject *signalObject() = 0;

protected:
    ~SerialDeviceInf() = default;
};

// Finds the meter's virtual serial port by its USB identifiers.
class SerialRS232VirInf
{
public:
    virtual QSerialPortInfo findPort(quint16 vendorId, quint16 productId) = 0;

protected:
    ~SerialRS232VirInf() = default;
};

// Optional: a plug-in whose port the system does not enumerate (a simulated
// gauge) says through this whether its port is present.
class SimulatedPortInf
{
public:
    virtual bool hasPort(quint16 vendorId, quint16 productId) = 0;

protected:
    ~SimulatedPortInf() = default;
};

// Optional: a plug-in that stands in for the others only when the user chose
// it (a serial gauge in the Options). One that is not chosen binds nothing.
class GaugeChoiceInf
{
public:
    virtual bool chosen() = 0;

protected:
    ~GaugeChoiceInf() = default;
};

#define IDmm_iid "com.qz.IDmm"
#define IMyDmm_iid "com.qz.IMyDmm"
#define SerialDeviceInf_iid "com.qz.SerialDeviceInf"
#define SerialRS232VirInf_iid "com.qz.SerialRS232VirInf"
#define SimulatedPortInf_iid "com.qz.SimulatedPortInf"
#define GaugeChoiceInf_iid "com.qz.GaugeChoiceInf"

Q_DECLARE_INTERFACE(IDmm, IDmm_iid)
Q_DECLARE_INTERFACE(IMyDmm, IMyDmm_iid)
Q_DECLARE_INTERFACE(SerialDeviceInf, SerialDeviceInf_iid)
Q_DECLARE_INTERFACE(SerialRS232VirInf, SerialRS232VirInf_iid)
Q_DECLARE_INTERFACE(SimulatedPortInf, SimulatedPortInf_iid)
Q_DECLARE_INTERFACE(GaugeChoiceInf, GaugeChoiceInf_iid)

// USB identifiers of the gauge's virtual serial port.
constexpr quint16 GaugeVendorId = 0x0483;
constexpr quint16 GaugeProductId = 0x5740;
