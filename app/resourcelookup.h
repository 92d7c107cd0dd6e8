#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// Files shipped with the program (translation catalogs, the manual) are
// looked up in the working directory first and then beside the executable,
// so a program started from a desktop menu or another folder finds them.
QStringList programFileFolders();

// The path of name in the first folder that holds it; in the first folder
// when none does.
QString locateProgramFile(const QString &name, const QStringList &folders);

// Loads the catalog name (relative, with Qt's usual fallback names) from the
// first folder that has it. False when no folder has it.
bool loadCatalog(QTranslator *translator, const QString &name, const QStringList &folders);

// Installs "<code>.qm" and "./translations/qt_<code>.qm" from the program's
// folders (see programFileFolders); missing catalogs are skipped.
void installCatalogs(const QString &code);
