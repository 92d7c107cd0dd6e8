#pragma once

#include "device/deviceinterfaces.h"
#include "plugins/serialline/linegrammar.h"
#include "plugins/serialline/linesplitter.h"
#include "plugins/serialline/serialgaugesettings.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

class DmmData;
class QTimer;

// A gauge that sends one reading a line over a serial port (USB CDC ACM or
// an RS-232 adapter). Its settings are read from serialgauge.conf at each
// Connect; it is used only when they say enabled=true.
class SerialLineGauge : public QObject,
                        public SerialDeviceInf,
                        public SerialRS232VirInf,
                        public IDmm,
                        public IMyDmm,
                        public SimulatedPortInf,
                        public GaugeChoiceInf
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IDmm_iid)
    Q_INTERFACES(SerialDeviceInf SerialRS232VirInf IDmm IMyDmm SimulatedPortInf GaugeChoiceInf)

public:
    explicit SerialLineGauge(QObject *parent = nullptr);
    ~SerialLineGauge() override;

    // SerialDeviceInf
    bool openPort(const QString &portName) override;
    void closePort() override;
    qint64 writeData(const QByteArray &data) override;
    QObject *signalObject() override { return this; }

    // SerialRS232VirInf: the port with exactly these USB identifiers.
    QSerialPortInfo findPort(quint16 vendorId, quint16 productId) override;

    // IDmm
    bool open(SerialDeviceInf *device) override;
    bool close() override;
    bool isOpen() override { return m_port.isOpen(); }

    // IMyDmm
    bool readStore() override;

    // SimulatedPortInf: for the gauge's identifiers, whether the configured
    // port is there (a configured path need not be a USB port).
    bool hasPort(quint16 vendorId, quint16 productId) override;

    // GaugeChoiceInf
    bool chosen() override;

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
    enum FaultKind { TooLong, Noise, Unreadable, UnknownUnit, FaultKinds };

    bool openWith(const QString &path);
    void readAvailable();
    // Hands on queued lines for up to budgetMs (all of them when negative).
    void drainQueue(int budgetMs);
    void continueLater();
    void takeLine(const LineSplitter::Line &line);
    void dropLine(FaultKind kind);
    void portError(QSerialPort::SerialPortError error);
    void pollPorts();
    void finishStore(bool complete);
    void closeLink(const QString &why);

    SerialGaugeSettings m_settings;
    QSerialPort m_port;
    QString m_path; // of the open port, for messages
    LineSplitter m_splitter;
    QList<LineSplitter::Line> m_queue; // complete lines not handed on yet
    bool m_continuePending = false;
    LineGrammar m_grammar;
    QTimer *m_pollTimer = nullptr;
    QStringList m_knownPorts;
    bool m_portWasPresent = false;

    // Faults are told once per kind and connection, and counted.
    int m_dropped[FaultKinds] = {};

    // A download in progress: the marker that ends it, the readings so far,
    // and a timer that ends it when the gauge falls silent.
    bool m_storing = false;
    QByteArray m_storeEnd;
    QList<DmmData *> m_storeGroup;
    QTimer *m_storeTimer = nullptr;
};
