#pragma once

// Builds .xlsx packages part by part for the reader's tests and its fuzz
// target: a zip archive in memory, made with libzip.

#include <QByteArray>
#include <QMap>
#include <QString>

#include <zip.h>

#include <algorithm>

namespace XlsxTestTools {

// The parts as a zip archive, deflated or stored as they are.
inline QByteArray package(const QMap<QString, QByteArray> &parts, bool deflate = true)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *archive = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *zip = archive ? zip_open_from_source(archive, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(archive);
        return {};
    }
    zip_source_keep(archive);
    for (auto part = parts.begin(); part != parts.end(); ++part) {
        zip_source_t *data = zip_source_buffer(zip, part.value().constData(), zip_uint64_t(part.value().size()), 0);
        const zip_int64_t index = zip_file_add(zip, part.key().toUtf8().constData(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            zip_source_free(data);
        else
            zip_set_file_compression(zip, zip_uint64_t(index), deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_close(zip) != 0) {
        zip_discard(zip);
    } else if (zip_source_stat(archive, &stat) == 0 && zip_source_open(archive) == 0) {
        bytes.resize(int(stat.size));
        bytes.resize(int(std::max<zip_int64_t>(0, zip_source_read(archive, bytes.data(), stat.size))));
        zip_source_close(archive);
    }
    zip_source_free(archive);
    return bytes;
}

// The parts of a one-sheet workbook around the given sheet, shared strings
// and styles (each left out when empty).
inline QMap<QString, QByteArray> workbookParts(const QByteArray &sheet, const QByteArray &strings = {},
                                               const QByteArray &styles = {},
                                               const QByteArray &workbookProperties = {})
{
    const QByteArray rel = "<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/"
                           "officeDocument/2006/relationships/%2\" Target=\"%3\"/>";
    auto relation = [&](const char *id, const char *type, const char *target) {
        return QString::fromLatin1(rel).arg(QLatin1String(id), QLatin1String(type), QLatin1String(target)).toUtf8();
    };
    const QByteArray relsHead = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QMap<QString, QByteArray> parts;
    parts.insert(QStringLiteral("_rels/.rels"),
                 relsHead + relation("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>");
    parts.insert(QStringLiteral("xl/workbook.xml"),
                 "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                 + workbookProperties + "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    QByteArray rels = relsHead + relation("rId1", "worksheet", "worksheets/sheet1.xml");
    if (!strings.isEmpty()) {
        rels += relation("rId2", "sharedStrings", "sharedStrings.xml");
        parts.insert(QStringLiteral("xl/sharedStrings.xml"), strings);
    }
    if (!styles.isEmpty()) {
        rels += relation("rId3", "styles", "styles.xml");
        parts.insert(QStringLiteral("xl/styles.xml"), styles);
    }
    parts.insert(QStringLiteral("xl/_rels/workbook.xml.rels"), rels + "</Relationships>");
    parts.insert(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    return parts;
}

} // namespace XlsxTestTools
