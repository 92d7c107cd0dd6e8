#include "exchange/readingsxlsx.h"

#include "data/jobprogress.h"

#include "exchange/readingssheet.h"
#include "exchange/readingsworkbook.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace {

constexpr int MaxColumns = 16384;

// The readings layout's cells in a workbook of the library, which streams
// each finished row to its temporary files.
class XlsxCells : public ReadingsSheetCells
{
public:
    XlsxCells(lxw_workbook *book, lxw_worksheet *sheet)
        : m_sheet(sheet),
          m_general(workbook_add_format(book)),
          m_time(workbook_add_format(book)),
          m_text(workbook_add_format(book))
    {
        format_set_num_format(m_time, ReadingsWorkbook::timeFormat().toUtf8().constData());
        format_set_num_format(m_text, "@");
    }
    void number(int row, int column, double value, Format format) override
    {
        keep(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, handle(format)));
    }
    void text(int row, int column, const QString &text, Format format) override
    {
        keep(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(),
                                    handle(format)));
    }
    void blank(int row, int column, Format format) override
    {
        keep(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(column), handle(format)));
    }
    lxw_error error() const { return m_error; }

private:
    lxw_format *handle(Format format) const
    {
        switch (format) {
        case Format::Time:
            return m_time;
        case Format::Text:
            return m_text;
        default:
            return m_general;
        }
    }
    void keep(lxw_error e)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = e;
    }

    lxw_worksheet *m_sheet;
    lxw_format *m_general;
    lxw_format *m_time;
    lxw_format *m_text;
    lxw_error m_error = LXW_NO_ERROR;
};

QString libraryError(lxw_error e)
{
    return QCoreApplication::translate("ReadingsXlsx", "The workbook could not be written: %1.")
            .arg(QString::fromUtf8(lxw_strerror(e)));
}

// The finished workbook into its place, through a temporary file beside it.
bool saveCopy(const QString &source, const QString &path, QString *error)
{
    QFile in(source);
    QSaveFile out(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace

bool writeReadingsXlsx(const QString &path, const QAbstractItemModel &table, QString *error, JobProgress *progress)
{
    QString localError;
    QString &err = error ? *error : localError;
    const int rows = table.rowCount();
    if (rows > ReadingsXlsx::MaxReadings) {
        err = QCoreApplication::translate("ReadingsXlsx", "The table has %1 readings, but an Excel workbook (.xlsx) holds at most %2 readings below its header row.")
                      .arg(rows)
                      .arg(ReadingsXlsx::MaxReadings);
        return false;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        err = work.errorString();
        return false;
    }
    const QByteArray workPath = QFile::encodeName(work.path());
    const QByteArray bookPath = QFile::encodeName(work.filePath(QStringLiteral("readings.xlsx")));

    // Constant memory: rows go to disk as they are finished, so a million
    // readings cost no more memory than a few.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(workPath.constData());
    lxw_workbook *book = workbook_new_opt(bookPath.constData(), &options);
    if (!book) {
        err = libraryError(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    XlsxCells cells(book, sheet);
    const int columns = std::min(table.columnCount(), MaxColumns);
    const std::vector<int> widths = ReadingsSheet::layOut(table, rows, columns, &cells, progress);
    for (size_t c = 0; c < widths.size(); ++c)
        if (widths[c] > 0)
            worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c] + 1, nullptr);
    // Stopped: the workbook is given up unwritten (closing would still zip
    // every row so far), and its rows in the work folder go with it.
    if (progress && progress->isCancelled()) {
        lxw_workbook_free(book);
        return false;
    }
    const lxw_error closed = workbook_close(book); // frees the workbook in any case
    if (cells.error() != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        err = libraryError(cells.error() != LXW_NO_ERROR ? cells.error() : closed);
        return false;
    }
    return saveCopy(QFile::decodeName(bookPath), path, &err);
}
