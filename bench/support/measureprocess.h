#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// Runs one measure in a process of its own (this program started again with
// the measure's name and arguments), with its data and settings under home,
// so one measure does not inherit another's heap. Returns what it printed;
// a measure that fails ends the benchmark.
inline QString runMeasureProcess(const QString &name, const QString &home, const QStringList &arguments)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{name} + arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s failed (%d)\n", qPrintable(name), child.exitCode());
        std::exit(1);
    }
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}
