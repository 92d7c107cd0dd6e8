#include "plugins/serialline/serialgaugesettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <cctype>

namespace {

const char *const Group = "serial";

bool readBool(const QString &text, bool *ok)
{
    const QString t = text.toLower();
    *ok = true;
    if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("yes"))
        return true;
    if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no") || t.isEmpty())
        return false;
    *ok = false;
    return false;
}

quint16 readHex16(const QString &text, bool *ok)
{
    QString t = text;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    const uint value = t.toUInt(ok, 16);
    *ok = *ok && value <= 0xFFFF;
    return quint16(value);
}

QString hex16(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// key=value lines of the [serial] group; other groups are ignored. Values
// are taken literally, without quotes around them.
QList<QPair<QString, QString>> readGroup(QFile &file)
{
    QList<QPair<QString, QString>> entries;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inGroup = line.mid(1, line.size() - 2).trimmed() == QLatin1String(Group);
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (!inGroup || eq <= 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        entries.append({line.left(eq).trimmed(), value});
    }
    return entries;
}

} // namespace

bool SerialGaugeSettings::operator==(const SerialGaugeSettings &o) const
{
    return enabled == o.enabled && port == o.port && vendorId == o.vendorId && productId == o.productId
        && baudRate == o.baudRate && dataBits == o.dataBits && parity == o.parity && stopBits == o.stopBits
        && flowControl == o.flowControl && pattern == o.pattern && defaultUnit == o.defaultUnit
        && storeRequest == o.storeRequest && storeEnd == o.storeEnd;
}

QString SerialGaugeSettings::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/serialgauge.conf");
}

SerialGaugeSettings SerialGaugeSettings::load(const QString &path, QStringList *problems)
{
    SerialGaugeSettings s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return s;

    auto refuse = [&](const QString &key, const QString &value) {
        if (problems)
            problems->append(QCoreApplication::translate(
                                 "SerialGaugeSettings",
                                 "%1: the value \"%2\" of %3 cannot be used; the default applies.")
                                 .arg(QDir::toNativeSeparators(path), value, key));
    };
    const auto entries = readGroup(file);
    for (const auto &entry : entries) {
        const QString &key = entry.first;
        const QString &value = entry.second;
        bool ok = true;
        if (key == QLatin1String("enabled")) {
            const bool b = readBool(value, &ok);
            if (ok)
                s.enabled = b;
        } else if (key == QLatin1String("port")) {
            s.port = value;
        } else if (key == QLatin1String("vendorId") || key == QLatin1String("productId")) {
            const quint16 id = readHex16(value, &ok);
            if (ok)
                (key == QLatin1String("vendorId") ? s.vendorId : s.productId) = id;
        } else if (key == QLatin1String("baudRate")) {
            const int rate = value.toInt(&ok);
            ok = ok && rate > 0;
            if (ok)
                s.baudRate = rate;
        } else if (key == QLatin1String("dataBits")) {
            const int bits = value.toInt(&ok);
            ok = ok && bits >= 5 && bits <= 8;
            if (ok)
                s.dataBits = bits;
        } else if (key == QLatin1String("parity")) {
            ok = QStringList({"none", "even", "odd"}).contains(value.toLower());
            if (ok)
                s.parity = value.toLower();
        } else if (key == QLatin1String("stopBits")) {
            const int bits = value.toInt(&ok);
            ok = ok && (bits == 1 || bits == 2);
            if (ok)
                s.stopBits = bits;
        } else if (key == QLatin1String("flowControl")) {
            ok = QStringList({"none", "hardware", "software"}).contains(value.toLower());
            if (ok)
                s.flowControl = value.toLower();
        } else if (key == QLatin1String("pattern")) {
            s.pattern = value;
        } else if (key == QLatin1String("defaultUnit")) {
            ok = value == QLatin1String("um") || value == QLatin1String("mil");
            if (ok)
                s.defaultUnit = value;
        } else if (key == QLatin1String("storeRequest")) {
            s.storeRequest = value;
        } else if (key == QLatin1String("storeEnd")) {
            s.storeEnd = value;
        }
        if (!ok)
            refuse(key, value);
    }
    return s;
}

bool SerialGaugeSettings::save(const QString &path, QString *error) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << '[' << Group << "]\n"
        << "enabled=" << (enabled ? "true" : "false") << '\n'
        << "port=" << port << '\n'
        << "vendorId=" << hex16(vendorId) << '\n'
        << "productId=" << hex16(productId) << '\n'
        << "baudRate=" << baudRate << '\n'
        << "dataBits=" << dataBits << '\n'
        << "parity=" << parity << '\n'
        << "stopBits=" << stopBits << '\n'
        << "flowControl=" << flowControl << '\n'
        << "pattern=" << pattern << '\n'
        << "defaultUnit=" << defaultUnit << '\n'
        << "storeRequest=" << storeRequest << '\n'
        << "storeEnd=" << storeEnd << '\n';
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray unescapeBytes(const QString &text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out;
    for (int i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c != '\\' || i + 1 == in.size()) {
            out += c;
            continue;
        }
        const char e = in.at(++i);
        switch (e) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'e': out += '\x1b'; break;
        case '0': out += '\0'; break;
        case 'x': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && i + 1 < in.size() && isxdigit(static_cast<unsigned char>(in.at(i + 1)))) {
                value = value * 16 + QByteArray(1, in.at(++i)).toInt(nullptr, 16);
                ++digits;
            }
            if (digits == 0)
                out += 'x';
            else
                out += char(value);
            break;
        }
        default: out += e; break;
        }
    }
    return out;
}
