#pragma once

#include <QString>

class QImage;

// A name chosen without a suffix gets the filter's one, as the platform's
// file dialogs do, so the writers know their format.
QString withDefaultSuffix(const QString &fileName, const QString &suffix);

// Saves a picture in the format of the file's suffix, through a temporary
// file: an existing file is replaced only when the new one is complete.
// False with the reason when the picture is null or cannot be written.
bool savePicture(const QImage &picture, const QString &fileName, QString *error);
