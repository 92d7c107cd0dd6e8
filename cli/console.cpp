#include "cli/console.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex terminal;
bool progressShown = false;

void write(std::FILE *stream, const QByteArray &bytes)
{
    std::lock_guard<std::mutex> lock(terminal);
    if (progressShown) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        progressShown = false;
    }
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

namespace Console {

void out(const QString &text)
{
    outBytes(text.toLocal8Bit());
}

void outBytes(const QByteArray &bytes)
{
    write(stdout, bytes);
}

void error(const QString &text)
{
    write(stderr, (QStringLiteral("vk508m: ") + text + QLatin1Char('\n')).toLocal8Bit());
}

void progress(const QByteArray &line)
{
    std::lock_guard<std::mutex> lock(terminal);
    if (line.isEmpty() && !progressShown)
        return;
    // Over the line before, to its end.
    std::fprintf(stderr, "\r%s\033[K", line.constData());
    std::fflush(stderr);
    progressShown = !line.isEmpty();
}

} // namespace Console
