#include "plugins/serialline/serialgauge.h"

#include "device/dmmdata.h"
#include "plugins/serialline/portopening.h"

#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

constexpr int PollIntervalMs = 1000;
// A download ends when the gauge has sent nothing for this long.
constexpr int StoreSilenceMs = 5000;
// How much of a refused line a message quotes.
constexpr int QuotedChars = 60;
// A flood of lines is handed on for at most this long per turn of the event
// loop, so the window stays responsive; the rest waits, in a bounded queue
// and then in the port's bounded buffer.
constexpr int TurnBudgetMs = 20;
constexpr int MaxQueuedLines = 256;
constexpr qint64 PortBufferBytes = 16 * 1024;
constexpr qint64 ReadChunkBytes = 1024;

QDateTime now()
{
    const QDateTime time = QDateTime::currentDateTime();
    return time.addMSecs(-time.time().msec());
}

QStringList portLocations()
{
    QStringList locations;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        locations << info.systemLocation();
    locations.sort();
    return locations;
}

} // namespace

SerialLineGauge::SerialLineGauge(QObject *parent)
    : QObject(parent)
    , m_pollTimer(new QTimer(this))
    , m_storeTimer(new QTimer(this))
{
    Reading::registerMetaTypes();
    m_pollTimer->setInterval(PollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, &SerialLineGauge::pollPorts);
    m_storeTimer->setSingleShot(true);
    m_storeTimer->setInterval(StoreSilenceMs);
    connect(m_storeTimer, &QTimer::timeout, this, [this] { finishStore(false); });
    m_port.setReadBufferSize(PortBufferBytes);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLineGauge::readAvailable);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLineGauge::portError);
}

SerialLineGauge::~SerialLineGauge()
{
    qDeleteAll(m_storeGroup);
}

bool SerialLineGauge::chosen()
{
    m_settings = SerialGaugeSettings::load(SerialGaugeSettings::defaultPath());
    if (m_settings.enabled && !m_pollTimer->isActive()) {
        m_knownPorts = portLocations();
        m_portWasPresent = gaugePortPresent(m_settings);
        m_pollTimer->start();
    }
    return m_settings.enabled;
}

bool SerialLineGauge::openPort(const QString &portName)
{
    if (m_port.isOpen())
        return false;
    m_settings = SerialGaugeSettings::load(SerialGaugeSettings::defaultPath());
    return openWith(portName);
}

void SerialLineGauge::closePort()
{
    close();
}

qint64 SerialLineGauge::writeData(const QByteArray &data)
{
    return m_port.isOpen() ? m_port.write(data) : -1;
}

QSerialPortInfo SerialLineGauge::findPort(quint16 vendorId, quint16 productId)
{
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.hasVendorIdentifier() && info.hasProductIdentifier() && info.vendorIdentifier() == vendorId
            && info.productIdentifier() == productId)
            return info;
    }
    return QSerialPortInfo();
}

bool SerialLineGauge::hasPort(quint16 vendorId, quint16 productId)
{
    if (vendorId != GaugeVendorId || productId != GaugeProductId)
        return false;
    return gaugePortPresent(SerialGaugeSettings::load(SerialGaugeSettings::defaultPath()));
}

bool SerialLineGauge::open(SerialDeviceInf *)
{
    if (m_port.isOpen()) {
        emit opened();
        return true;
    }
    QStringList problems;
    m_settings = SerialGaugeSettings::load(SerialGaugeSettings::defaultPath(), &problems);
    for (const QString &problem : qAsConst(problems))
        emit message(problem);
    QString error;
    if (!m_grammar.setPattern(m_settings.pattern, &error)) {
        emit message(tr("The line pattern \"%1\" cannot be used (%2). Correct it in Options.")
                         .arg(m_settings.pattern, error));
        return false;
    }
    m_grammar.setDefaultUnit(m_settings.defaultUnit);
    return openWith(gaugePortPath(m_settings));
}

bool SerialLineGauge::openWith(const QString &path)
{
    QString failure;
    if (!openGaugePort(m_port, path, m_settings, &failure)) {
        emit message(failure);
        return false;
    }
    m_path = path;
    m_splitter.clear();
    m_queue.clear();
    std::fill(std::begin(m_dropped), std::end(m_dropped), 0);
    emit message(tr("Serial gauge connected on %1.").arg(path));
    emit opened();
    return true;
}

bool SerialLineGauge::close()
{
    closeLink(tr("Serial gauge disconnected."));
    return true;
}

bool SerialLineGauge::readStore()
{
    if (!m_port.isOpen())
        return false;
    const QByteArray end = unescapeBytes(m_settings.storeEnd).trimmed();
    if (!m_settings.canDownload() || end.isEmpty()) {
        emit message(tr("This gauge sends live readings only. To read a gauge's memory, set its download "
                        "request and end marker in Options."));
        // The window shows its progress dialog after this returns; the
        // position after the last closes it again.
        QTimer::singleShot(0, this, [this] { emit storeGroupUpdate(1, 2); });
        return false;
    }
    // A new request starts over; what an earlier one left is dropped.
    qDeleteAll(m_storeGroup);
    m_storeGroup.clear();
    m_storing = true;
    m_storeEnd = end;
    m_port.write(unescapeBytes(m_settings.storeRequest));
    m_port.flush();
    m_storeTimer->start();
    emit message(tr("Reading the gauge's stored readings."));
    QTimer::singleShot(0, this, [this] {
        if (m_storing)
            emit storeGroupUpdate(1, 1);
    });
    return true;
}

void SerialLineGauge::readAvailable()
{
    if (m_port.bytesAvailable() > 0 && m_storing)
        m_storeTimer->start();
    while (m_queue.size() < MaxQueuedLines && m_port.bytesAvailable() > 0)
        m_queue += m_splitter.feed(m_port.read(ReadChunkBytes));
    drainQueue(TurnBudgetMs);
}

void SerialLineGauge::drainQueue(int budgetMs)
{
    QElapsedTimer turn;
    turn.start();
    while (!m_queue.isEmpty()) {
        if (budgetMs >= 0 && turn.elapsed() >= budgetMs) {
            continueLater();
            return;
        }
        takeLine(m_queue.takeFirst());
    }
    // An end marker need not be followed by a line end.
    if (m_storing && m_splitter.pending().startsWith(m_storeEnd)) {
        m_splitter.dropPending(m_storeEnd.size());
        finishStore(true);
    }
    if (m_port.isOpen() && m_port.bytesAvailable() > 0)
        continueLater();
}

void SerialLineGauge::continueLater()
{
    if (m_continuePending)
        return;
    m_continuePending = true;
    QTimer::singleShot(0, this, [this] {
        m_continuePending = false;
        readAvailable();
    });
}

void SerialLineGauge::takeLine(const LineSplitter::Line &line)
{
    // The end marker starts a line; what follows it on that line is live.
    if (m_storing && line.kind != LineSplitter::Kind::TooLong && line.text.trimmed().startsWith(m_storeEnd)) {
        finishStore(true);
        const QByteArray rest = line.text.trimmed().mid(m_storeEnd.size()).trimmed();
        if (!rest.isEmpty())
            takeLine({LineSplitter::kindOf(rest), rest});
        return;
    }
    if (line.kind == LineSplitter::Kind::TooLong) {
        dropLine(TooLong);
        return;
    }
    if (line.kind == LineSplitter::Kind::Noise) {
        dropLine(Noise);
        return;
    }
    const QString text = LineGrammar::decode(line.text);
    LineGrammar::Fault fault = LineGrammar::Fault::None;
    DmmData *reading = m_grammar.read(text, now(), &fault);
    if (!reading) {
        const FaultKind kind = fault == LineGrammar::Fault::UnknownUnit ? UnknownUnit : Unreadable;
        if (m_dropped[kind] == 0) {
            const QString quoted = text.trimmed().left(QuotedChars);
            emit message(kind == UnknownUnit
                             ? tr("A line from the gauge has a unit other than um or mil and was dropped: "
                                  "\"%1\".").arg(quoted)
                             : tr("A line from the gauge is not a reading and was dropped: \"%1\". If the gauge "
                                  "sends another format, set a line pattern in Options.").arg(quoted));
        }
        ++m_dropped[kind];
        return;
    }
    if (m_storing)
        m_storeGroup.append(reading);
    else
        emit display(reading);
}

void SerialLineGauge::dropLine(FaultKind kind)
{
    if (m_dropped[kind]++ > 0)
        return;
    if (kind == TooLong)
        emit message(tr("A line from the gauge was longer than %1 bytes and was dropped. Check the baud rate "
                        "and the line settings in Options.").arg(LineSplitter::MaxLineBytes));
    else
        emit message(tr("The gauge sent bytes that are not text; they were dropped. Check the baud rate, "
                        "data bits, parity and stop bits in Options."));
}

void SerialLineGauge::portError(QSerialPort::SerialPortError error)
{
    if (!m_port.isOpen())
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError && error != QSerialPort::WriteError)
        return;
    // The port object is still inside its own read; close after it returns.
    const QString path = m_path;
    QTimer::singleShot(0, this, [this, path] {
        closeLink(tr("The connection to the gauge on %1 was lost (cable pulled?). The readings taken so far "
                     "are kept; plug the gauge in and connect again.")
                      .arg(path));
    });
}

void SerialLineGauge::pollPorts()
{
    const QStringList ports = portLocations();
    const bool present = gaugePortPresent(SerialGaugeSettings::load(SerialGaugeSettings::defaultPath()));
    if (ports == m_knownPorts && present == m_portWasPresent)
        return;
    m_knownPorts = ports;
    m_portWasPresent = present;
    emit usbRefreshed();
}

void SerialLineGauge::finishStore(bool complete)
{
    if (!m_storing)
        return;
    m_storing = false;
    m_storeTimer->stop();
    QList<DmmData *> group;
    group.swap(m_storeGroup);
    if (complete)
        emit message(tr("%1 stored readings read from the gauge.").arg(group.size()));
    else
        emit message(tr("The gauge stopped sending before the end of its memory; %1 stored readings arrived.")
                         .arg(group.size()));
    if (!group.isEmpty())
        emit displayStoreData(group);
    emit storeGroupUpdate(1, 2);
}

void SerialLineGauge::closeLink(const QString &why)
{
    if (!m_port.isOpen())
        return;
    // What arrived before the link closed is still handed on.
    drainQueue(-1);
    m_port.close();
    finishStore(false);
    m_splitter.clear();
    int dropped = 0;
    for (int count : m_dropped)
        dropped += count;
    if (dropped > 0)
        emit message(tr("Lines from the gauge that were dropped while connected: %1.").arg(dropped));
    emit message(why);
    emit closed();
}
