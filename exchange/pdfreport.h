#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractItemModel;
class JobProgress;
class QImage;
class QVariant;
struct PdfColumn;

// The text a table cell shows in the report: numbers and characters as the
// decimal form of their integer conversion, texts unchanged, date-and-time
// values as "yyyy-MM-dd hh:mm:ss", anything else as its text conversion.
QString reportCellText(const QVariant &value);

// Writes the report on A4 pages at the PDF writer's defaults: page 1 with
// the scene picture (when sceneFileName names an existing file), the
// histogram and the chart (when not null), then the table's rows as a ruled
// grid with the given columns (column c of the table with record c), a
// date stamp and "page/pages" on every table page. The file is written
// through a temporary file and appears only when complete; false with an
// error text when it cannot be written.
bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart,
                    QString *error = nullptr);

// The summary of the reported item: two groups of rows side by side, each
// row a caption and its values, lined up in columns; a row of a single
// text wraps within its group.
struct ReportSummary
{
    QVector<QStringList> left;
    QVector<QStringList> right;
    bool isEmpty() const { return left.isEmpty() && right.isEmpty(); }
};

// The same report with the summary under the chart on page 1; a summary
// that does not fit there gets a last page of its own. Everything else is
// where the report without a summary has it.
bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart,
                    const ReportSummary &summary, QString *error = nullptr);

// What an inspection report adds to the report above: front pages with a
// heading (its lines at the top left, the first in bold, and a date at the
// top right), a titled block of details (a caption and a text each) and
// the summary; and after the last table row a closing block to sign on
// (a caption and the text on its line each). Without any of it the report
// is the one above.
struct ReportInspection
{
    QStringList heading;
    QString date;
    QString detailsTitle;
    QVector<QStringList> details;
    QVector<QStringList> closing;
    bool isEmpty() const { return heading.isEmpty() && date.isEmpty() && details.isEmpty() && closing.isEmpty(); }
};

// A progress, when given, hears of the table pages written and may stop
// them: then nothing is written and a file of that name stays as it was.
bool writePdfReport(const QString &fileName, const QAbstractItemModel &table, const QList<PdfColumn *> &columns,
                    const QString &sceneFileName, const QImage &histogram, const QImage &chart,
                    const ReportSummary &summary, const ReportInspection &inspection, QString *error = nullptr,
                    JobProgress *progress = nullptr);
