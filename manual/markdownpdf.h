#pragma once

#include <QString>

class QIODevice;

// Renders a Markdown text into an A4 PDF document with Qt's own text
// document and PDF writer. Pictures named in the text are read from
// `imageDir` and scaled to the width of the text. Returns false, with a
// reason in `error`, when a picture is missing or the PDF cannot be written.
bool renderMarkdownPdf(const QString &markdown, const QString &imageDir, const QString &title, QIODevice *out,
                       QString *error);
