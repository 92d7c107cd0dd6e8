#pragma once

#include <QString>

class QWidget;

// The suffix a file-dialog filter names first: "xls" for "Excel File(*.xls)".
QString filterSuffix(const QString &filter);

// Asks for the name of a file to write. The selected filter's suffix is the
// dialog's default suffix, so the dialog's own question about replacing an
// existing file covers the name the file will really get ("readings" that
// becomes "readings.xls"). The name still gets the suffix afterwards, for
// dialogs that ignore the default one. Empty when the user cancels.
// selectedFilter, when given, receives the filter chosen last.
QString askSaveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filters,
                        QString *selectedFilter = nullptr);
