#include "plugins/serialline/portopening.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <cerrno>
#include <unistd.h>

namespace {

// Whether this process may read and write the device file: the check the
// kernel makes with the effective user, before any lock or exclusive use.
bool mayOpen(const QString &path)
{
#if defined(Q_OS_UNIX)
    return ::euidaccess(QFile::encodeName(path).constData(), R_OK | W_OK) == 0 || errno != EACCES;
#else
    Q_UNUSED(path);
    return true;
#endif
}

QSerialPort::Parity parityOf(const QString &text)
{
    if (text == QLatin1String("even"))
        return QSerialPort::EvenParity;
    if (text == QLatin1String("odd"))
        return QSerialPort::OddParity;
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl flowOf(const QString &text)
{
    if (text == QLatin1String("hardware"))
        return QSerialPort::HardwareControl;
    if (text == QLatin1String("software"))
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

QString notThere(const QString &path)
{
    return QCoreApplication::translate(
               "SerialGauge", "The port %1 is not there. Check the cable, or choose another port in Options.")
        .arg(path);
}

} // namespace

QString gaugePortPath(const SerialGaugeSettings &settings)
{
    if (!settings.port.isEmpty())
        return settings.port;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.hasVendorIdentifier() && info.hasProductIdentifier() && info.vendorIdentifier() == settings.vendorId
            && info.productIdentifier() == settings.productId)
            return info.systemLocation();
    }
    return QString();
}

bool gaugePortPresent(const SerialGaugeSettings &settings)
{
    const QString path = gaugePortPath(settings);
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool openGaugePort(QSerialPort &port, const QString &path, const SerialGaugeSettings &settings, QString *failure)
{
    if (path.isEmpty()) {
        *failure = QCoreApplication::translate("SerialGauge", "No serial gauge is plugged in (USB %1:%2). "
                                                              "Plug the gauge in, or choose its port in Options.")
                       .arg(settings.vendorId, 4, 16, QLatin1Char('0'))
                       .arg(settings.productId, 4, 16, QLatin1Char('0'));
        return false;
    }
    if (!QFileInfo::exists(path)) {
        *failure = notThere(path);
        return false;
    }
    if (!mayOpen(path)) {
        *failure = QCoreApplication::translate("SerialGauge",
                                               "You may not open the port %1. On Debian, add yourself to the "
                                               "dialout group (sudo adduser $USER dialout), then log out and "
                                               "log in again.")
                       .arg(path);
        return false;
    }
    port.setPortName(path);
    port.setBaudRate(settings.baudRate);
    port.setDataBits(QSerialPort::DataBits(settings.dataBits));
    port.setParity(parityOf(settings.parity));
    port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port.setFlowControl(flowOf(settings.flowControl));
    if (port.open(QIODevice::ReadWrite))
        return true;

    if (port.error() == QSerialPort::PermissionError) {
        *failure = QCoreApplication::translate("SerialGauge",
                                               "The port %1 is held by another program, or by this one while it "
                                               "is connected. Disconnect, or close that program (a terminal, "
                                               "for example), and try again.")
                       .arg(path);
    } else if (port.error() == QSerialPort::DeviceNotFoundError) {
        *failure = notThere(path);
    } else {
        *failure = QCoreApplication::translate("SerialGauge", "The port %1 could not be opened: %2")
                       .arg(path, port.errorString());
    }
    return false;
}
