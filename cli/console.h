#pragma once

#include <QByteArray>
#include <QString>

// The command line's two outputs: results on standard output, messages on
// standard error, in the locale's encoding.
namespace Console {

void out(const QString &text);
void outBytes(const QByteArray &bytes);
// A message on a line of its own, after the program's name.
void error(const QString &text);

} // namespace Console
