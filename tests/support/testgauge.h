#pragma once

#include "tests/plugins/testdmmcontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

// The control side of the test device plug-in that every window built in
// a test loads from the tests' Lib/ folder (the same library instance).
inline TestDmmControl *testGauge()
{
    QDir lib(QCoreApplication::applicationDirPath() + QStringLiteral("/Lib"));
    const QStringList files = lib.entryList(QDir::Files);
    for (const QString &file : files) {
        QPluginLoader loader(lib.absoluteFilePath(file));
        if (auto *control = qobject_cast<TestDmmControl *>(loader.instance()))
            return control;
    }
    qFatal("the test device plug-in is missing from %s", qPrintable(lib.path()));
    return nullptr;
}
