#include "data/measurementdatabase.h"
#include "team/teamsettings.h"
#include "tests/support/postgrescluster.h"
#include "tests/support/teamsettingsfor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program run as a user runs it, with a home of its own and no display:
// what each command prints, where, and its exit status.
class TestCommandLine : public QObject
{
    Q_OBJECT

    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };

    QTemporaryDir home;
    QString readings = QStringLiteral(VK_CLI_DATA "/readings.csv");

    QString measurements() const { return home.filePath(QStringLiteral("data/vk508m/measurements.sqlite")); }

    Result run(const QStringList &arguments, const QStringList &environment = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const QString &pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.path());
        process.start(QStringLiteral(VK_PROGRAM), arguments);
        Result result;
        if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.status = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QJsonValue json(const QStringList &arguments)
    {
        const Result r = run(arguments);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        if (r.status != 0 || error.error != QJsonParseError::NoError)
            qWarning() << arguments << r.status << r.err << error.errorString();
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }

    // Limits as the window's Limits dialog keeps them.
    void setLimits(qint64 id, double nominal)
    {
        MeasurementDatabase database;
        QVERIFY2(database.open(measurements()), qPrintable(database.problem()));
        ItemLimits limits;
        limits.nominal = nominal;
        limits.rule = AcceptanceRule::Iso19840;
        QVERIFY(database.setLimits(id, limits));
    }

    static QString pdfText(const QString &pdf)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, "-"});
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private slots:
    void usageVersionAndLanguage()
    {
        const Result version = run({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("vk508m " VK_VERSION_TEXT "\n"));
        const Result help = run({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        for (const char *command : {"list", "show", "import", "export", "report", "summary", "convert", "check", "sync"})
            QVERIFY2(help.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command))), command);
        const Result chinese = run({QStringLiteral("report"), QStringLiteral("--help")}, {"LANG=zh_CN.UTF-8"});
        QCOMPARE(chinese.status, 0);
        QVERIFY2(chinese.out.startsWith(QString::fromUtf8("用法：vk508m report ITEM -o FILE.pdf")), qPrintable(chinese.out));

        // Wrong usage: exit status 2, the reason on standard error only.
        for (const QStringList &wrong : {QStringList{"frobnicate"}, QStringList{"show"}, QStringList{"list", "--bogus"},
                                         QStringList{"export", "1", "-o", "readings.txt"}, QStringList{"summary"},
                                         QStringList{"import", "a.csv", "b.csv", "--name", "x"}}) {
            const Result r = run(wrong);
            QCOMPARE(r.status, 2);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.startsWith(QStringLiteral("vk508m: ")), qPrintable(r.err));
        }
    }

    void importListShowAndCheck()
    {
        // Without a measurements file there are no items.
        QCOMPARE(run({QStringLiteral("list")}).out, QString());
        QCOMPARE(run({QStringLiteral("show"), QStringLiteral("Deck")}).status, 3);

        const Result named = run({QStringLiteral("import"), readings, QStringLiteral("--name"), QStringLiteral("Deck")});
        QCOMPARE(named.status, 0);
        QCOMPARE(named.out, QStringLiteral("1\tDeck\t6\n"));
        const Result two = run({QStringLiteral("import"), readings, readings});
        QCOMPARE(two.out, QStringLiteral("2\tImport1\t6\n3\tImport2\t6\n"));
        // A row that cannot be read is refused and counted; the item is made.
        const Result refused = run({QStringLiteral("import"), VK_CLI_DATA "/refused.csv", "--name", "Deck"});
        QCOMPARE(refused.status, 4);
        QCOMPARE(refused.out, QStringLiteral("4\tDeck\t1\n"));
        QVERIFY2(refused.err.contains(QStringLiteral("refused.csv: ")), qPrintable(refused.err));

        // Hand-worked: 100 … 140 µm and an overload; without it the mean is
        // 120.0, the sample deviation sqrt(250) = 15.8.
        QCOMPARE(run({QStringLiteral("list")}).out.section(QLatin1Char('\n'), 1, 1),
                 QStringLiteral("2\tLive Data\tImport1\tum\t6\t120.0\t100.0\t140.0\t15.8\t-\t-"));
        setLimits(2, 100);
        setLimits(3, 125);
        const QJsonArray items = json({QStringLiteral("list"), QStringLiteral("--json")}).toArray();
        QCOMPARE(items.size(), 4);
        const QJsonObject passing = items.at(1).toObject();
        QCOMPARE(passing.value("standardDeviation").toDouble(), 15.8);
        QCOMPARE(passing.value("rule").toString(), QStringLiteral("ISO 19840"));
        QCOMPARE(passing.value("verdict").toString(), QStringLiteral("pass"));
        QCOMPARE(items.at(2).toObject().value("verdict").toString(), QStringLiteral("fail"));
        QVERIFY(items.at(0).toObject().value("verdict").isNull());

        const QJsonObject shown = json({QStringLiteral("show"), QStringLiteral("Import2"), QStringLiteral("--json")}).toObject();
        QCOMPARE(shown.value("withOverloads").toObject().value("mean").toDouble(), 100.0);
        QCOMPARE(shown.value("overloads").toInt(), 1);
        QCOMPARE(shown.value("limits").toObject().value("nominal").toDouble(), 125.0);
        QCOMPARE(shown.value("firstReading").toString().left(19), QStringLiteral("2024-03-05T14:30:00"));
        const QJsonObject mean = shown.value("rules").toArray().at(0).toObject();
        QCOMPARE(mean.value("rule").toString(), QStringLiteral("meanOfReadings"));
        QCOMPARE(mean.value("mean").toDouble(), 120.0);
        QCOMPARE(mean.value("passed").toBool(), false);
        QVERIFY(run({QStringLiteral("show"), QStringLiteral("Live Data/Import2")}).out.contains(QStringLiteral("Mean at least NDFT")));

        // check: 0 passes, 1 fails, 3 without limits; a repeated name is named by id.
        const Result pass = run({QStringLiteral("check"), QStringLiteral("2")});
        QCOMPARE(pass.status, 0);
        QCOMPARE(pass.out, QStringLiteral("Pass\n"));
        const Result fail = run({QStringLiteral("check"), QStringLiteral("Import2")});
        QCOMPARE(fail.status, 1);
        QVERIFY(fail.out.startsWith(QStringLiteral("Fail\nMean 120.0 μm below NDFT 125.0 μm")));
        QCOMPARE(run({QStringLiteral("check"), QStringLiteral("4")}).status, 3);
        const Result several = run({QStringLiteral("check"), QStringLiteral("Deck")});
        QCOMPARE(several.status, 2);
        QVERIFY2(several.err.contains(QStringLiteral("1\tLive Data/Deck")) && several.err.contains(QStringLiteral("4\tLive Data/Deck")),
                 qPrintable(several.err));
    }

    void filesOut()
    {
        const QString csv = home.filePath(QStringLiteral("out.csv"));
        QCOMPARE(run({QStringLiteral("convert"), readings, csv}).status, 0);
        QFile converted(csv);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        QCOMPARE(converted.readAll().count('\n'), 7);
        QCOMPARE(run({QStringLiteral("convert"), home.filePath("none.csv"), csv}).status, 4);

        QCOMPARE(run({QStringLiteral("export"), QStringLiteral("2"), QStringLiteral("-o"), home.filePath("r.xlsx")}).status, 0);
        QVERIFY(QFileInfo(home.filePath("r.xlsx")).size() > 0);
        QCOMPARE(run({QStringLiteral("export"), QStringLiteral("2"), QStringLiteral("-o"), home.filePath("no/dir/r.xls")}).status, 4);

        // The inspection report, read back: its item, verdict and readings.
        const Result report = run({QStringLiteral("report"), QStringLiteral("2"), QStringLiteral("-o"), home.filePath("r")});
        QCOMPARE(report.status, 0);
        const QString text = pdfText(home.filePath(QStringLiteral("r.pdf")));
        for (const char *expected : {"Import1", "Histogram:", "Chart:", "Verdict", "Pass", "140.0", "ISO 19840"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
        QCOMPARE(run({QStringLiteral("summary"), QStringLiteral("-o"), home.filePath("s.pdf")}).status, 0);
        QVERIFY(pdfText(home.filePath(QStringLiteral("s.pdf"))).contains(QStringLiteral("Passed: 1")));
    }

    // The window keeps the file, in the middle of a change: the reading
    // commands see what was kept before it; import says the file is in use.
    void readWhileTheFileIsKept()
    {
        MeasurementDatabase window;
        QVERIFY(window.open(measurements()));
        QVERIFY(window.beginChanges());
        QVERIFY(window.addItem(QStringLiteral("Half made"), ItemData::Measure, Unit::Micrometre) != 0);
        const Result list = run({QStringLiteral("list")});
        QCOMPARE(list.status, 0);
        QCOMPARE(list.out.count(QLatin1Char('\n')), 4);
        QCOMPARE(run({QStringLiteral("check"), QStringLiteral("2")}).status, 0);
        const Result import = run({QStringLiteral("import"), readings});
        QCOMPARE(import.status, 5);
        QVERIFY2(import.err.contains(QStringLiteral("in use")), qPrintable(import.err));
        QVERIFY(window.commitChanges());
    }

    // One sync against a server of the test's own.
    void syncWithTheTeam()
    {
        PostgresCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        QVERIFY(cluster.admin({"CREATE DATABASE team"}) && cluster.makeRole("alice", "alice-pw"));
        QVERIFY(cluster.admin({"GRANT CREATE ON SCHEMA public TO alice"}, QStringLiteral("team")));
        QCOMPARE(run({QStringLiteral("sync")}).status, 2);
        QVERIFY(teamSettingsFor(cluster, "team", "alice").save(home.filePath("config/vk508m/team.conf")));

        const Result refused = run({QStringLiteral("sync")}, {"PGPASSFILE=/nonexistent", "PGPASSWORD=wrong"});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("refused the password")), qPrintable(refused.err));
        const Result synced = run({QStringLiteral("sync")}, {"PGPASSFILE=/nonexistent", "PGPASSWORD=alice-pw"});
        QCOMPARE(synced.status, 0);
        QVERIFY2(synced.out.startsWith(QStringLiteral("Sent: 5 items, 19 readings;")), qPrintable(synced.out + synced.err));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
