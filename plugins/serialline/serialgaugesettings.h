#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The serial gauge's settings, kept in serialgauge.conf (INI, group
// [serial]) in the per-user configuration folder. Values are read as
// written: a pattern's backslashes stay as they are, and only storeRequest
// and storeEnd understand C-style escapes.
struct SerialGaugeSettings
{
    bool enabled = false;
    QString port;               // a device path; empty: found by vendorId/productId
    quint16 vendorId = 0x0483;
    quint16 productId = 0x5740;
    qint32 baudRate = 9600;
    int dataBits = 8;           // 5 to 8
    QString parity = QStringLiteral("none");        // none, even, odd
    int stopBits = 1;           // 1 or 2
    QString flowControl = QStringLiteral("none");   // none, hardware, software
    QString pattern;            // empty: the default grammar
    QString defaultUnit = QStringLiteral("um");     // um or mil
    QString storeRequest;       // as written, with escapes
    QString storeEnd;

    bool operator==(const SerialGaugeSettings &other) const;
    bool operator!=(const SerialGaugeSettings &other) const { return !(*this == other); }

    // A download needs both a request and an end marker.
    bool canDownload() const { return !storeRequest.isEmpty() && !storeEnd.isEmpty(); }

    // <AppConfigLocation>/serialgauge.conf
    static QString defaultPath();

    // Reads the file; a missing file gives the defaults. A value that cannot
    // be used keeps its default and adds a line to problems.
    static SerialGaugeSettings load(const QString &path, QStringList *problems = nullptr);
    // Writes the file whole (QSaveFile); false with a reason on failure.
    bool save(const QString &path, QString *error = nullptr) const;
};

// C-style escapes: \r \n \t \\ \0 \xHH (one or two hex digits) and \e (ESC).
// An unknown escape keeps its character.
QByteArray unescapeBytes(const QString &text);
