#include "exchange/xlsxpackage.h"

#include <QCoreApplication>

#include <zip.h>

namespace {

// Markup-free stretches of a worksheet are cell texts (at most 32,767
// characters) and blanks between elements.
constexpr qint64 MaxRunWithoutMarkup = qint64(4) << 20;

QString zipReason(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString reason = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return reason;
}

QString partName(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name.mid(1) : name;
}

// A part or entry name as the lookup compares it.
QString foldedName(const QString &name)
{
    QString folded = name.toCaseFolded();
    folded.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return partName(folded);
}

} // namespace

XlsxPartStream::XlsxPartStream(zip_file *file, const QString &name, qint64 maxSize)
    : m_file(file), m_name(name), m_maxSize(maxSize)
{
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

XlsxPartStream::~XlsxPartStream()
{
    zip_fclose(m_file);
}

bool XlsxPartStream::fail(const QString &reason)
{
    m_failed = true;
    setErrorString(reason);
    return false;
}

qint64 XlsxPartStream::readData(char *data, qint64 maxSize)
{
    if (m_failed || m_atEnd || maxSize <= 0)
        return m_failed ? -1 : 0;
    const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(maxSize));
    if (n < 0) {
        fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 cannot be unpacked (%2).")
                     .arg(m_name, QString::fromUtf8(zip_file_strerror(m_file))));
        return -1;
    }
    if (n == 0) {
        m_atEnd = true;
        return 0;
    }
    m_total += n;
    if (m_total > m_maxSize) {
        fail(QCoreApplication::translate("XlsxReader", "The workbook's part %1 unpacks to more than %2 MiB, more than a readings workbook can hold.")
                     .arg(m_name)
                     .arg(m_maxSize >> 20));
        return -1;
    }
    zip_int64_t last = n - 1;
    while (last >= 0 && data[last] != '<')
        --last;
    m_sinceMarkup = last >= 0 ? n - 1 - last : m_sinceMarkup + n;
    if (m_sinceMarkup > MaxRunWithoutMarkup) {
        fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds a text too long for a cell.")
                     .arg(m_name));
        return -1;
    }
    return n;
}

XlsxPackage::~XlsxPackage()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool XlsxPackage::hasSignature(const QByteArray &file)
{
    return file.startsWith(QByteArrayLiteral("PK\x03\x04")) || file.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

bool XlsxPackage::open(const QByteArray &file)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(file.constData(), zip_uint64_t(file.size()), 0, &error);
    if (source) {
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
            zip_source_free(source);
    }
    if (!m_zip) {
        m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its zip container cannot be read (%1).")
                          .arg(QString::fromUtf8(zip_error_strerror(&error)));
    }
    zip_error_fini(&error);
    if (!m_zip)
        return false;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString folded = name ? foldedName(QString::fromUtf8(name)) : QString();
        if (name && !m_entries.contains(folded)) // the first of equal names counts
            m_entries.insert(folded, i);
    }
    return true;
}

qint64 XlsxPackage::locate(const QString &name) const
{
    return m_entries.value(foldedName(name), -1);
}

bool XlsxPackage::contains(const QString &name) const
{
    return m_zip && locate(name) >= 0;
}

std::unique_ptr<XlsxPartStream> XlsxPackage::openPart(const QString &name, qint64 maxSize)
{
    const QString part = partName(name);
    const zip_int64_t index = m_zip ? locate(part) : -1;
    if (index < 0) {
        m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 is missing.").arg(part);
        return nullptr;
    }
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_zip));
        if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_ENCRNOTSUPP || code == ZIP_ER_WRONGPASSWD)
            m_error = QCoreApplication::translate("XlsxReader", "The workbook is encrypted and cannot be read.");
        else
            m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 cannot be unpacked (%2).")
                              .arg(part, zipReason(code));
        return nullptr;
    }
    return std::make_unique<XlsxPartStream>(file, part, maxSize);
}
