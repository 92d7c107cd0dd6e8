#include "app/optionsfile.h"
#include "app/resourcelookup.h"
#include "app/settingslocation.h"
#include "app/widget.h"
#include "cli/commandline.h"
#include "data/measurementdatabase.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // A command does its job without a window, and needs no display.
    if (CommandLine::isCommand(argc, argv))
        return CommandLine::run(argc, argv, installCatalogs);

    // Sharp on high-density screens: scaled layouts, and the icons' larger
    // renderings where a pixel ratio above 1 asks for them.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    // The per-user folders (~/.config/vk508m, ~/.local/share/vk508m) are
    // named after the application, not after however the executable is named.
    QCoreApplication::setApplicationName(QStringLiteral("vk508m"));
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
