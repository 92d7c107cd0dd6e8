#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QAbstractItemModel;
class QFontMetrics;
class QPainter;
class QPdfWriter;
class ReportLayout;
struct PdfColumn;

// Painting shared by the PDF reports, in the layout's device units.

// Writes an A4 PDF through a QSaveFile: paint draws every page on the
// started painter, and may stop (false): then nothing is written. The file
// is replaced only when all of it was written; otherwise error (when given)
// says why and the old file stays.
bool paintPdfFile(const QString &fileName, QPageLayout::Orientation orientation,
                  const std::function<bool(QPdfWriter &writer, QPainter &painter)> &paint, QString *error);

// Word wrap; a word wider than the width breaks anywhere, so that no text
// runs past the edge.
int wrapFlags(const QString &text, int width, const QFontMetrics &metrics);
// The height of the text wrapped to the width, at least one line.
int wrappedHeight(const QString &text, int width, const QFontMetrics &metrics);

// "page/pages" at the foot of the page, right-aligned at X.
void drawPageNumber(QPainter &painter, const ReportLayout &layout, int page);

// Table page p (from 0) of the layout: the date stamp, the page number,
// the ruled grid with the column titles and the rows of the table. A text
// wider than its column ends in "…" within it.
void drawTablePage(QPainter &painter, const ReportLayout &layout, int page, const QAbstractItemModel &table,
                   const QList<PdfColumn *> &columns);

// The block to sign on: each row a caption, and a line to write on with a
// text on it (the inspector's name, or nothing).
int closingBlockHeight(const QVector<QStringList> &rows, const QFontMetrics &metrics);
void drawClosingBlock(QPainter &painter, const QVector<QStringList> &rows, int left, int top, int width);
