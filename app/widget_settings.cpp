#include "app/widget.h"

#include "app/settingslocation.h"
#include "app/settingsxml.h"
#include "views/exchangecontroller.h"

#include <QFile>
#include <QMessageBox>

void Widget::saveSettings()
{
    // Beside the executable or else in the user's folder; written aside and
    // renamed over the old file only when complete wherever the folder lets
    // us, so a failed write never destroys the settings already there.
    const SettingsValues values{saveGeometry(), saveState(0), exchange->sceneFileName(), language};
    const QString written =
        SettingsLocation::ofApplication().write([&values](QIODevice *file) { writeSettings(file, values); });
    if (written.isEmpty())
        QMessageBox::warning(this, QString(), tr("Can not open file."), QMessageBox::Ok);
}

void Widget::restoreSettings()
{
    QFile file(SettingsLocation::ofApplication().readPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    walkSettings(&file, [this](const QString &name, const QString &text) {
        if (name == QLatin1String("Geometry"))
            restoreGeometry(QByteArray::fromHex(text.toLatin1()));
        else if (name == QLatin1String("State"))
            restoreState(QByteArray::fromHex(text.toLatin1()), 0);
        else if (name == QLatin1String("SceneFileName"))
            exchange->setSceneFileName(text);
        else if (name == QLatin1String("Language"))
            language = text;
        return false;
    });
}
