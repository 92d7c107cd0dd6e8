#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// How a command ended, as its exit status.
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailed = 1,         // a failed check, or a sync that did not complete
    ExitUsage = 2,          // wrong usage, or a name that several items have
    ExitMissing = 3,        // no such item, no limits, no readings to sum up
    ExitFile = 4,           // a file that cannot be read or written
    ExitMeasurements = 5,   // measurements.sqlite in use or damaged
    ExitCancelled = 130,    // interrupted (Ctrl+C), as shells count it
};

// The commands, each given its checked arguments. They use the window's
// own jobs and words; results go to standard output, messages to standard
// error. The reading commands open measurements.sqlite only to read, so
// they run while the window keeps it; import needs it to itself.
class Commands
{
    Q_DECLARE_TR_FUNCTIONS(Commands)

public:
    static int list(bool json);
    static int show(const QString &item, bool json);
    static int import(const QStringList &files, const QString &name);
    static int exportReadings(const QString &item, const QString &file);
    static int report(const QString &item, const QString &file);
    static int summary(const QString &file);
    static int convert(const QString &in, const QString &out);
    static int check(const QString &item);
    static int sync();
};
