#pragma once

#include "tests/plugins/testdmmcontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

#include <cstdio>

// The control side of the test device plug-in that every window built in
// a test loads from the Lib/ folder beside the executable (the same library
// instance), or none when it is not there.
inline TestDmmControl *findTestGauge()
{
    QDir lib(QCoreApplication::applicationDirPath() + QStringLiteral("/Lib"));
    const QStringList files = lib.entryList(QDir::Files);
    for (const QString &file : files) {
        QPluginLoader loader(lib.absoluteFilePath(file));
        if (auto *control = qobject_cast<TestDmmControl *>(loader.instance()))
            return control;
    }
    return nullptr;
}

// The same, for a test that cannot go on without it.
inline TestDmmControl *testGauge()
{
    TestDmmControl *control = findTestGauge();
    if (!control)
        qFatal("the test device plug-in is missing from %s/Lib", qPrintable(QCoreApplication::applicationDirPath()));
    return control;
}

// For a benchmark: whether the test plug-in is there, with a word on where
// to run it when it is not.
inline bool testGaugeAtHand()
{
    if (findTestGauge())
        return true;
    std::fprintf(stderr, "run me from the tests' home folder build (needs the test plug-in in Lib/)\n");
    return false;
}
