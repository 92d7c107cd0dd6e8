#pragma once

#include <QString>

// Reads single keys of options.xml before the main window exists, and
// installs the translation catalogs of the stored language.
class OptionsFile
{
public:
    explicit OptionsFile(const QString &path);

    // The text of the last element named key, or an empty string.
    QString value(const QString &key) const;

    // Installs "<code>.qm" and "./translations/qt_<code>.qm", each looked up
    // in the working directory and then beside the executable, for the
    // language code stored under key. False when no code is stored; missing
    // catalogs are skipped.
    bool installTranslators(const QString &key) const;

private:
    QString m_path;
};
