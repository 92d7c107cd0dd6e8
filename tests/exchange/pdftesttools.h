#pragma once

#include <QDebug>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

// Reads PDF files back with poppler's tools.
namespace PdfTools {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << program << arguments << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One page's text in reading order, or as laid out.
inline QString pageText(const QString &pdf, int page, bool layout = false)
{
    const QString p = QString::number(page);
    QStringList arguments{"-f", p, "-l", p, "-enc", "UTF-8", pdf, "-"};
    if (layout)
        arguments.prepend(QStringLiteral("-layout"));
    return run(QStringLiteral("pdftotext"), arguments);
}

inline int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Word
{
    QString text;
    QRectF box;   // in points
};

// Every word of every page, with the size of its page.
struct Page
{
    QRectF bounds;
    QVector<Word> words;
};

inline QVector<Page> wordBoxes(const QString &pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {"-bbox", "-enc", "UTF-8", pdf, "-"});
    QVector<Page> pages;
    const QRegularExpression item(QStringLiteral(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" "
        "xMax=\"([\\d.-]+)\" yMax=\"([\\d.-]+)\">([^<]*)</word>"));
    auto it = item.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages << Page{QRectF(0, 0, m.captured(1).toDouble(), m.captured(2).toDouble()), {}};
        } else if (!pages.isEmpty()) {
            const QRectF box(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                             QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
            pages.last().words << Word{m.captured(7), box};
        }
    }
    return pages;
}

} // namespace PdfTools
