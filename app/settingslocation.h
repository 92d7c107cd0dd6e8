#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Where options.xml lives. Beside the executable is the first choice; when
// that folder or file cannot be written (a program installed under /usr),
// the settings go to the user's configuration folder, and from then on
// they are read from and written to that copy first.
class SettingsLocation
{
public:
    SettingsLocation(const QString &programDir, const QString &userDir);

    // The executable's folder and this application's per-user configuration folder.
    static SettingsLocation ofApplication();

    QString programFile() const;
    QString userFile() const;

    // The user's copy when there is one, otherwise the file beside the executable.
    QString readPath() const;

    // Writes the whole document through writer to the first place that takes it,
    // atomically where a temporary file can be made beside the target. Returns
    // the path written, or an empty string when no place could be written.
    QString write(const std::function<void(QIODevice *)> &writer) const;

private:
    QString m_programDir;
    QString m_userDir;
};
