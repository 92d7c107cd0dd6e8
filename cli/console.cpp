#include "cli/console.h"

#include <cstdio>

namespace Console {

void out(const QString &text)
{
    outBytes(text.toLocal8Bit());
}

void outBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void error(const QString &text)
{
    const QByteArray bytes = (QStringLiteral("vk508m: ") + text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace Console
