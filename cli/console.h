#pragma once

#include <QByteArray>
#include <QString>

// The command line's outputs: results on standard output, messages on
// standard error, in the locale's encoding; and a progress line on
// standard error that any other output first clears, so that the two never
// share a line. Callable from any thread.
namespace Console {

void out(const QString &text);
void outBytes(const QByteArray &bytes);
// A message on a line of its own, after the program's name.
void error(const QString &text);
// Writes line over the progress line; an empty one clears it.
void progress(const QByteArray &line);

} // namespace Console
