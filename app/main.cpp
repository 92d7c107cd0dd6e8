#include "app/optionsfile.h"
#include "app/settingslocation.h"
#include "app/widget.h"
#include "data/measurementdatabase.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int result = 0;
    {
        OptionsFile options(SettingsLocation::ofApplication().readPath());
        options.installTranslators(QStringLiteral("Language"));
        // Outlives the window, which keeps its items in it.
        MeasurementDatabase database;
        database.open();
        Widget window(&database);
        window.show();
        result = app.exec();
    }
    return result;
}
