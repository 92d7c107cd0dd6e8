#pragma once

// Helpers shared by the workbook tests and benchmarks: the independent
// Python readers and writers, the sample files, a table of readings.

#include <QAbstractTableModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace XlsTestTools {

// The system Python, where the Debian packages of xlrd and xlwt live; a
// python3 found first on PATH may be another installation without them.
inline QString python()
{
    if (QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

inline QString sourceDir()
{
    const QByteArray dir = qgetenv("VK_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(VK_TEST_SOURCE_DIR) : QString::fromLocal8Bit(dir);
}

inline QString script(const QString &name)
{
    return sourceDir() + QStringLiteral("/tests/exchange/") + name;
}

inline QString workbookSample(const QString &name)
{
    QByteArray dir = qgetenv("VK_TESTDATA_DIR");
    const QString base = dir.isEmpty() ? sourceDir() + QStringLiteral("/tests/fixtures")
                                       : QString::fromLocal8Bit(dir);
    return base + QStringLiteral("/workbooks/") + name;
}

// Runs a Python script; returns its standard output, or fills *error.
inline bool runPython(const QString &scriptName, const QStringList &args, QByteArray *out,
                      QString *error, int timeoutMs = 120000)
{
    QProcess p;
    p.start(python(), QStringList{script(scriptName)} + args);
    if (!p.waitForFinished(timeoutMs)) {
        *error = QStringLiteral("python did not finish: ") + p.errorString();
        p.kill();
        p.waitForFinished();
        return false;
    }
    *out = p.readAllStandardOutput();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

// What xlrd reads from the first worksheet: {"datemode", "cells"}.
inline QVariantMap xlrdDump(const QString &path, QString *error)
{
    QByteArray out;
    if (!runPython(QStringLiteral("xlrd_dump.py"), {path}, &out, error))
        return {};
    return QJsonDocument::fromJson(out).toVariant().toMap();
}

// A readings table as the main window's table shows it: the row number as
// an integer, then time, value, unit and basis texts. Deterministic, made
// on the fly so that large tables cost no memory.
class SyntheticReadings : public QAbstractTableModel
{
public:
    explicit SyntheticReadings(int rows, QObject *parent = nullptr)
        : QAbstractTableModel(parent), m_rows(rows) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 5;
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const int r = index.row();
        switch (index.column()) {
        case 0:
            return r + 1;
        case 1:
            return time(r).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case 2:
            return value(r);
        case 3:
            return r % 2 ? QStringLiteral("mil") : QString::fromUtf8("μm");
        default:
            return basis(r);
        }
    }

    static QDateTime time(int r)
    {
        return QDateTime(QDate(2023, 11, 20), QTime(8, 0, 0)).addSecs(r * 7);
    }
    static QString value(int r)
    {
        if (r % 997 == 5)
            return QStringLiteral("    OL");
        if (r % 997 == 6)
            return QStringLiteral("   -OL");
        if (r % 2)
            return QString::number((r % 5000) / 100.0, 'f', 2);
        return QString::number((r % 12500) / 10.0, 'f', 1);
    }
    static QString basis(int r)
    {
        switch (r % 3) {
        case 0: return QStringLiteral("Fe");
        case 1: return QStringLiteral("NFe");
        default: return QString::fromUtf8("铁基");
        }
    }

private:
    int m_rows;
};

} // namespace XlsTestTools
