#include "app/optionsfile.h"

#include "app/resourcelookup.h"
#include "app/settingsxml.h"

#include <QCoreApplication>
#include <QFile>

OptionsFile::OptionsFile(const QString &path)
    : m_path(path)
{
}

QString OptionsFile::value(const QString &key) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString result;
    walkSettings(&file, [&](const QString &name, const QString &text) {
        if (name != key)
            return false;
        result = text;
        return true;
    });
    return result;
}

bool OptionsFile::installTranslators(const QString &key) const
{
    const QString code = value(key);
    if (code.isEmpty())
        return false;
    installCatalogs(code);
    return true;
}
