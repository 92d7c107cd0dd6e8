// Renders the user manual: manual_pdf <source.md> <picture dir> <output.pdf> <version>
// The source's {{version}} becomes the program version.
#include "manual/markdownpdf.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: manual_pdf <source.md> <picture dir> <output.pdf> <version>\n");
        return 1;
    }
    const QString sourceName = QString::fromLocal8Bit(argv[1]);
    const QString imageDir = QString::fromLocal8Bit(argv[2]);
    const QString outName = QString::fromLocal8Bit(argv[3]);
    const QString version = QString::fromLocal8Bit(argv[4]);

    QFile source(sourceName);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual_pdf: cannot read %s\n", qPrintable(sourceName));
        return 1;
    }
    QString markdown = QString::fromUtf8(source.readAll());
    markdown.replace(QStringLiteral("{{version}}"), version);

    QSaveFile out(outName);
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "manual_pdf: cannot write %s\n", qPrintable(outName));
        return 1;
    }
    QString error;
    if (!renderMarkdownPdf(markdown, imageDir, QStringLiteral("VK508M Software User Manual"), &out, &error)) {
        std::fprintf(stderr, "manual_pdf: %s\n", qPrintable(error));
        return 1;
    }
    if (!out.commit()) {
        std::fprintf(stderr, "manual_pdf: cannot write %s\n", qPrintable(outName));
        return 1;
    }
    return 0;
}
