#include "app/widget.h"

#include "app/settingsxml.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QSaveFile>

namespace {

QString settingsPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml");
}

} // namespace

void Widget::saveSettings()
{
    // Written aside and renamed over the old file only when complete, so a
    // failed write never destroys the settings already there.
    QSaveFile file(settingsPath());
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) {
        writeSettings(&file, SettingsValues{saveGeometry(), saveState(0), sceneFileName, language});
        saved = file.commit();
    }
    if (!saved)
        QMessageBox::warning(this, QString(), tr("Can not open file."), QMessageBox::Ok);
}

void Widget::restoreSettings()
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    walkSettings(&file, [this](const QString &name, const QString &text) {
        if (name == QLatin1String("Geometry"))
            restoreGeometry(QByteArray::fromHex(text.toLatin1()));
        else if (name == QLatin1String("State"))
            restoreState(QByteArray::fromHex(text.toLatin1()), 0);
        else if (name == QLatin1String("SceneFileName"))
            sceneFileName = text;
        else if (name == QLatin1String("Language"))
            language = text;
        return false;
    });
}
