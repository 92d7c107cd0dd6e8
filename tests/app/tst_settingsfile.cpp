#include "app/optionsfile.h"
#include "app/resourcelookup.h"
#include "app/settingslocation.h"
#include "app/settingsxml.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// The options file format and the rules by which its keys are read.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("options.xml"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

private slots:
    void writtenByteForByte()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writeSettings(&buffer, SettingsValues{QByteArray("\x01\xab\xff", 3), QByteArray(),
                                              QStringLiteral("C:/pics/a&b<c>.png"), QString()});
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<options>\n"
            "    <Geometry>01abff</Geometry>\n"
            "    <State></State>\n"
            "    <SceneFileName>C:/pics/a&amp;b&lt;c&gt;.png</SceneFileName>\n"
            "    <Language></Language>\n"
            "</options>\n";
        QCOMPARE(buffer.data(), expected);
    }

    void writtenValuesReadBack()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writeSettings(&buffer, SettingsValues{QByteArray(), QByteArray(),
                                              QString::fromUtf8("/tmp/场景 & <1>.jpg"),
                                              QStringLiteral("zh_CN")});
        OptionsFile options(writeFile(buffer.data()));
        QCOMPARE(options.value(QStringLiteral("SceneFileName")), QString::fromUtf8("/tmp/场景 & <1>.jpg"));
        QCOMPARE(options.value(QStringLiteral("Language")), QStringLiteral("zh_CN"));
        QCOMPARE(options.value(QStringLiteral("Geometry")), QString());
    }

    void keysFoundByNameWherever_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("scene");

        QTest::newRow("other order, unknown elements")
            << QByteArray("<options><Foo>bar</Foo><Language>zh_CN</Language>"
                          "<SceneFileName>s.png</SceneFileName></options>")
            << "zh_CN" << "s.png";
        QTest::newRow("nested") << QByteArray("<options><group><Language>en_US</Language></group></options>")
                                << "en_US" << "";
        QTest::newRow("key twice, last wins")
            << QByteArray("<options><Language>zh_CN</Language><Language>en_US</Language></options>")
            << "en_US" << "";
        QTest::newRow("whitespace-only text keeps the value")
            << QByteArray("<options><Language>zh_CN</Language><Language>   \n </Language></options>")
            << "zh_CN" << "";
        QTest::newRow("case matters") << QByteArray("<options><language>zh_CN</language></options>")
                                      << "" << "";
        QTest::newRow("malformed after a good key")
            << QByteArray("<options><Language>zh_CN</Language><Scene<<FileName>x</options>")
            << "zh_CN" << "";
        QTest::newRow("no root element name needed") << QByteArray("<Language>en_US</Language>")
                                                     << "en_US" << "";
        QTest::newRow("escaped text") << QByteArray("<options><SceneFileName>a&amp;b</SceneFileName></options>")
                                      << "" << "a&b";
        QTest::newRow("empty file") << QByteArray() << "" << "";
    }

    void keysFoundByNameWherever()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, language);
        QFETCH(QString, scene);
        OptionsFile options(writeFile(content));
        QCOMPARE(options.value(QStringLiteral("Language")), language);
        QCOMPARE(options.value(QStringLiteral("SceneFileName")), scene);
    }

    void missingFileGivesEmptyValues()
    {
        OptionsFile options(m_dir.filePath(QStringLiteral("absent.xml")));
        QCOMPARE(options.value(QStringLiteral("Language")), QString());
        QVERIFY(!options.installTranslators(QStringLiteral("Language")));
    }

    // Catalogs are looked up in the working directory first (nothing lies
    // beside the test's executable). Qt's own Chinese catalogs stand in for ours here.
    void catalogsResolvedAgainstWorkingDirectory()
    {
        const QString qtDir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(qtDir + QStringLiteral("/qtbase_zh_CN.qm")))
            QSKIP("Qt's Chinese catalogs are not installed");

        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("translations")));
        QVERIFY(QFile::copy(qtDir + QStringLiteral("/qtbase_zh_CN.qm"), work.filePath(QStringLiteral("zh_CN.qm"))));
        QVERIFY(QFile::copy(qtDir + QStringLiteral("/qt_zh_CN.qm"),
                            work.filePath(QStringLiteral("translations/qt_zh_CN.qm"))));
        QVERIFY(QFile::copy(qtDir + QStringLiteral("/qtbase_zh_CN.qm"),
                            work.filePath(QStringLiteral("translations/qtbase_zh_CN.qm"))));

        OptionsFile none(writeFile("<options><Language>zh_CN</Language></options>"));
        const QString before = QDir::currentPath();
        // From another directory nothing is found, but the code is reported.
        QVERIFY(none.installTranslators(QStringLiteral("Language")));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(none.installTranslators(QStringLiteral("Language")));
        QDir::setCurrent(before);
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel"));
    }

    // Beside the executable while it can be written there; otherwise in the
    // user's folder, which is then read and written first.
    void settingsLandWhereTheyCan()
    {
        QTemporaryDir home;
        const QString program = home.filePath(QStringLiteral("program"));
        const QString user = home.filePath(QStringLiteral("config/vk508m"));
        const SettingsLocation location(program, user);
        const auto writer = [](const QByteArray &text) { return [text](QIODevice *d) { d->write(text); }; };
        const auto content = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
        };

        // The program folder does not exist, so nothing can be written there.
        QCOMPARE(location.readPath(), location.programFile());
        QCOMPARE(location.write(writer("one")), location.userFile());
        QCOMPARE(content(location.userFile()), QByteArray("one"));
        QCOMPARE(location.readPath(), location.userFile());

        QVERIFY(QDir().mkpath(program));
        QCOMPARE(location.write(writer("two")), location.userFile());
        QCOMPARE(content(location.programFile()), QByteArray("absent"));

        const SettingsLocation fresh(program, home.filePath(QStringLiteral("other")));
        QCOMPARE(fresh.write(writer("three")), fresh.programFile());
        QCOMPARE(content(fresh.programFile()), QByteArray("three"));
        QVERIFY(!QFile::exists(fresh.userFile()));

        // Neither place: no folder can be made below a plain file.
        const QString plain = fresh.programFile();
        QCOMPARE(SettingsLocation(plain, plain).write(writer("four")), QString());
    }

    // Working directory first, then beside the executable; a catalog that
    // names others (Qt's qt_zh_CN.qm) finds them beside itself.
    void catalogsAndManualFoundInTheFirstFolderThatHasThem()
    {
        const QString qtDir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(qtDir + QStringLiteral("/qtbase_zh_CN.qm")))
            QSKIP("Qt's Chinese catalogs are not installed");
        QTemporaryDir work, program;
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("translations")));
        for (const QString &name : QDir(qtDir).entryList({QStringLiteral("qt*_zh_CN.qm")}))
            QVERIFY(QFile::copy(QDir(qtDir).filePath(name), program.filePath(QStringLiteral("translations/") + name)));
        const QStringList folders{work.path(), program.path()};

        QTranslator translator;
        QVERIFY(loadCatalog(&translator, QStringLiteral("./translations/qt_zh_CN.qm"), folders));
        QVERIFY(translator.translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel"));
        QVERIFY(!loadCatalog(&translator, QStringLiteral("zh_CN.qm"), folders));

        const QString manual = QStringLiteral("Software User Manual.pdf");
        QCOMPARE(locateProgramFile(manual, folders), work.filePath(manual));
        QFile(program.filePath(manual)).open(QIODevice::WriteOnly);
        QCOMPARE(locateProgramFile(manual, folders), program.filePath(manual));
        QFile(work.filePath(manual)).open(QIODevice::WriteOnly);
        QCOMPARE(locateProgramFile(manual, folders), work.filePath(manual));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
