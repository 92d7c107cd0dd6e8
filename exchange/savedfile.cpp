#include "exchange/savedfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

QString withDefaultSuffix(const QString &fileName, const QString &suffix)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

bool savePicture(const QImage &picture, const QString &fileName, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (picture.isNull())
        return fail(QCoreApplication::translate("Widget", "The picture has not been drawn yet."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (!picture.save(&file, format.constData())) {
        file.cancelWriting();
        return fail(QCoreApplication::translate("Widget", "The picture cannot be written as \"%1\".")
                        .arg(QString::fromLatin1(format)));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
