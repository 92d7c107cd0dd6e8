#pragma once

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>

#include <memory>

struct zip;
struct zip_file;

// One part of a package, read as it is inflated. Reading fails, with the
// reason in errorString() and failed() set, once the part expands beyond
// its ceiling, once it runs longer than any markup-free stretch of XML has
// a reason to (one huge text would otherwise be held whole by the XML
// reader), or when the archive's data is damaged.
class XlsxPartStream : public QIODevice
{
public:
    XlsxPartStream(zip_file *file, const QString &name, qint64 maxSize);
    ~XlsxPartStream() override;

    bool isSequential() const override { return true; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool fail(const QString &reason);

    zip_file *m_file;
    QString m_name;
    qint64 m_maxSize;
    qint64 m_total = 0;
    qint64 m_sinceMarkup = 0;
    bool m_failed = false;
    bool m_atEnd = false;
};

// The parts of an Office Open XML package, a zip archive held in memory.
// Part names are looked up without regard to case, as the packaging rules
// ask, and with either slash, as the spreadsheet opens archives whose
// entries a Windows tool named "xl\\worksheets\\sheet1.xml".
class XlsxPackage
{
public:
    XlsxPackage() = default;
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage &) = delete;
    XlsxPackage &operator=(const XlsxPackage &) = delete;

    static bool hasSignature(const QByteArray &file);

    // The bytes must stay alive and unchanged while the package is open.
    bool open(const QByteArray &file);
    bool contains(const QString &partName) const;
    // The part as a stream of at most maxSize bytes; null when the part is
    // missing or cannot be opened (see errorString()).
    std::unique_ptr<XlsxPartStream> openPart(const QString &partName, qint64 maxSize);
    QString errorString() const { return m_error; }

private:
    qint64 locate(const QString &partName) const;

    zip *m_zip = nullptr;
    QHash<QString, qint64> m_entries; // entry index by folded name
    QString m_error;
};
