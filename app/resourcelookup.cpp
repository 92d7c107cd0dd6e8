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
