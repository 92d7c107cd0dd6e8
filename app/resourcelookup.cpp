#include "app/resourcelookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

QStringList programFileFolders()
{
    return {QDir::currentPath(), QCoreApplication::applicationDirPath()};
}

QString locateProgramFile(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString path = QDir(folder).absoluteFilePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return folders.isEmpty() ? name : QDir(folders.first()).absoluteFilePath(name);
}

bool loadCatalog(QTranslator *translator, const QString &name, const QStringList &folders)
{
    // One path and no directory: a catalog that names others (Qt's
    // qt_<code>.qm) then finds them beside itself.
    for (const QString &folder : folders) {
        if (translator->load(QDir(folder).filePath(name)))
            return true;
    }
    return false;
}

void installCatalogs(const QString &code)
{
    if (code.isEmpty())
        return;
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
}
