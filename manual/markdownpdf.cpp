#include "manual/markdownpdf.h"

#include <QColor>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace {

// Pictures take this share of the text width of an A4 page inside the 2 cm
// margins that the printed document keeps.
constexpr double PictureShare = 0.95;
constexpr double TextWidthInches = (210.0 - 2 * 20.0) / 25.4;

// The document measures pictures in screen pixels and scales them to the
// printer's resolution from the screen's.
double pictureWidth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return PictureShare * TextWidthInches * dpi;
}

struct PictureRef
{
    int position;
    int length;
    QTextImageFormat format;
};

bool placePictures(QTextDocument &document, const QString &imageDir, QString *error)
{
    // Collected first: changing formats while walking would split fragments.
    QList<PictureRef> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.append({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    }

    const double width = pictureWidth();
    for (PictureRef &picture : pictures) {
        const QString name = picture.format.name();
        const QImage image(QDir(imageDir).filePath(name));
        if (image.isNull()) {
            *error = QStringLiteral("cannot read the picture %1").arg(name);
            return false;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        QTextCursor cursor(&document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return true;
}

// Single thin rules, some room in the cells, a shaded header row.
void styleTables(QTextFrame *frame)
{
    const auto children = frame->childFrames();
    for (QTextFrame *child : children) {
        if (auto *table = qobject_cast<QTextTable *>(child)) {
            QTextTableFormat format = table->format();
            format.setBorderCollapse(true);
            format.setBorder(0.75);
            format.setBorderBrush(Qt::darkGray);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setCellSpacing(0);
            format.setCellPadding(3);
            table->setFormat(format);
            // With collapsed borders the rules between cells are the cells' own.
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    cellFormat.setBorder(0.75);
                    cellFormat.setBorderBrush(Qt::darkGray);
                    cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                    if (row == 0)
                        cellFormat.setBackground(QColor(230, 230, 230));
                    cell.setFormat(cellFormat);
                }
            }
        }
        styleTables(child);
    }
}

// Code spans and blocks ask for a fixed-pitch font, which the default
// family does not honour by itself: name a typewriter family that exists
// (the offscreen platform's own "fixed" font is proportional).
void fixCodeFont(QTextDocument &document)
{
    QFont probe(QStringLiteral("monospace"));
    probe.setStyleHint(QFont::TypeWriter);
    const QString fixedFamily = QFontInfo(probe).family();
    // The Markdown reader marks code with the platform's fixed font.
    const QString markedFamily = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool codeBlock = block.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!codeBlock && !format.fontFixedPitch() && format.fontFamily() != markedFamily)
                continue;
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            QTextCharFormat fixed;
            fixed.setFontFamily(fixedFamily);
            cursor.mergeCharFormat(fixed);
        }
    }
}

} // namespace

bool renderMarkdownPdf(const QString &markdown, const QString &imageDir, const QString &title, QIODevice *out,
                       QString *error)
{
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setMarkdown(markdown);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    if (!placePictures(document, imageDir, error))
        return false;
    styleTables(document.rootFrame());
    fixCodeFont(document);

    QPdfWriter writer(out);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(title);
    writer.setCreator(title);
    // print() lays the document out on the pages, with margins and numbers.
    document.print(&writer);
    return true;
}
