#include "app/settingslocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString FileName = QStringLiteral("options.xml");

bool writeFile(const QString &path, const std::function<void(QIODevice *)> &writer)
{
    QSaveFile file(path);
    // A read-only folder with a writable file in it: the file is rewritten
    // in place, since no temporary file can be made beside it.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    writer(&file);
    return file.commit();
}

} // namespace

SettingsLocation::SettingsLocation(const QString &programDir, const QString &userDir)
    : m_programDir(programDir)
    , m_userDir(userDir)
{
}

SettingsLocation SettingsLocation::ofApplication()
{
    return SettingsLocation(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString SettingsLocation::programFile() const
{
    return m_programDir + QLatin1Char('/') + FileName;
}

QString SettingsLocation::userFile() const
{
    return m_userDir.isEmpty() ? QString() : m_userDir + QLatin1Char('/') + FileName;
}

QString SettingsLocation::readPath() const
{
    const QString user = userFile();
    return !user.isEmpty() && QFileInfo::exists(user) ? user : programFile();
}

QString SettingsLocation::write(const std::function<void(QIODevice *)> &writer) const
{
    // Once the settings live in the user's folder they stay there, so a
    // program folder that becomes writable later cannot hide the newer copy.
    const QString user = userFile();
    const bool userFirst = readPath() == user;
    if (userFirst && writeFile(user, writer))
        return user;
    if (writeFile(programFile(), writer))
        return programFile();
    if (!userFirst && !user.isEmpty() && QDir().mkpath(m_userDir) && writeFile(user, writer))
        return user;
    return QString();
}
