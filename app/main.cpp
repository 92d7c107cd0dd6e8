#include "app/optionsfile.h"
#include "app/widget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int result = 0;
    {
        OptionsFile options(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml"));
        options.installTranslators(QStringLiteral("Language"));
        Widget window;
        window.show();
        result = app.exec();
    }
    return result;
}
