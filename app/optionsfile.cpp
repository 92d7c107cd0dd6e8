#include "app/optionsfile.h"

#include "app/resourcelookup.h"
#include "app/settingsxml.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>

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

    // One translator for the application's catalog and one for Qt's, made
    // once and kept for the life of the process.
    static QTranslator *appTranslator = nullptr;
    static QTranslator *qtTranslator = nullptr;
    if (!appTranslator)
        appTranslator = new QTranslator;
    if (!qtTranslator)
        qtTranslator = new QTranslator;

    const QStringList folders = programFileFolders();
    if (loadCatalog(appTranslator, QStringLiteral("%1.qm").arg(code), folders))
        QCoreApplication::installTranslator(appTranslator);
    if (loadCatalog(qtTranslator, QStringLiteral("./translations/qt_%1.qm").arg(code), folders))
        QCoreApplication::installTranslator(qtTranslator);
    return true;
}
