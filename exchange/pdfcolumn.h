#pragma once

#include <QString>

// One column of the report's readings table: its title (drawn untranslated)
// and its share of the table width.
struct PdfColumn
{
    QString title;
    int weight = 0;
};
