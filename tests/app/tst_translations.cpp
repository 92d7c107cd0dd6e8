#include "app/widget.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

// The Chinese catalog: complete for every text of the code, and in effect
// throughout the window when installed.
class TestTranslations : public QObject
{
    Q_OBJECT

private:
    struct Catalog
    {
        QSet<QString> finished;   // "context|source" with a finished translation
        QStringList problems;     // unfinished, obsolete or empty entries
    };

    static Catalog readCatalog(const QString &path)
    {
        Catalog catalog;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return catalog;
        QXmlStreamReader xml(&file);
        QString context, source, type, translation;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == QLatin1String("name"))
                    context = xml.readElementText();
                else if (xml.name() == QLatin1String("source"))
                    source = xml.readElementText();
                else if (xml.name() == QLatin1String("translation")) {
                    type = xml.attributes().value(QStringLiteral("type")).toString();
                    // Plural forms are elements of their own.
                    translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                }
            } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
                const QString key = context + QLatin1Char('|') + source;
                if (type.isEmpty() && !translation.isEmpty())
                    catalog.finished.insert(key);
                else
                    catalog.problems << key + QStringLiteral(" (") + (type.isEmpty() ? "empty" : type) + ")";
            }
        }
        if (xml.hasError())
            catalog.problems << QStringLiteral("unreadable: ") + xml.errorString();
        return catalog;
    }

    static bool install(QTranslator &translator, const QString &path)
    {
        return translator.load(path) && QCoreApplication::installTranslator(&translator);
    }

private slots:
    void catalogHasNoUnfinishedEntries()
    {
        const Catalog catalog = readCatalog(QStringLiteral(VK_SOURCE_TS));
        QVERIFY(!catalog.finished.isEmpty());
        QVERIFY2(catalog.problems.isEmpty(), qPrintable(catalog.problems.join(QLatin1Char('\n'))));
    }

    // Every text the code passes through tr() has a finished translation.
    void everyTextOfTheCodeIsTranslated()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(VK_SOURCE_ROOT));
        // Not silent: a text lupdate cannot place (a tr() without a class)
        // would be missing from the catalog, so every warning fails.
        lupdate.start(QStringLiteral(VK_LUPDATE), {QStringLiteral("-I"), QStringLiteral(VK_SOURCE_ROOT),
                                                    QStringLiteral("-locations"),
                                                    QStringLiteral("none"), QStringLiteral("app"), QStringLiteral("cli"),
                                                    QStringLiteral("device"), QStringLiteral("data"),
                                                    QStringLiteral("charts"), QStringLiteral("exchange"),
                                                    QStringLiteral("team"), QStringLiteral("plugins"),
                                                    QStringLiteral("-ts"), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        const QString warnings = QString::fromLocal8Bit(lupdate.readAllStandardError()).trimmed();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings));

        const Catalog committed = readCatalog(QStringLiteral(VK_SOURCE_TS));
        QStringList untranslated;
        for (const QString &key : readCatalog(fresh).problems) {
            const QString bare = key.left(key.lastIndexOf(QStringLiteral(" (")));
            if (!committed.finished.contains(bare))
                untranslated << bare;
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    void windowSpeaksChinese()
    {
        QTranslator app, qt;
        QVERIFY(install(app, QStringLiteral(VK_HOME) + QStringLiteral("/zh_CN.qm")));
        QVERIFY(install(qt, QStringLiteral(VK_HOME) + QStringLiteral("/translations/qt_zh_CN.qm")));

        TestDmmControl *gauge = testGauge();
        gauge->reset();
        gauge->setOpenResult(false);
        {
            Widget w;
            auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
            QCOMPARE(tabs->tabText(0), QString::fromUtf8("表格"));
            QCOMPARE(tabs->tabText(2), QString::fromUtf8("曲线图"));
            QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdNum"))->text(), QString::fromUtf8("数量:0"));
            QCOMPARE(w.findChild<QAction *>(QStringLiteral("actionConnect"))->text(), QString::fromUtf8("连接"));

            DialogAnswerer answerer;
            QString okText;
            answerer.then([&okText](QWidget *dialog) {
                if (auto *box = qobject_cast<QMessageBox *>(dialog))
                    okText = box->button(QMessageBox::Ok)->text();
                DialogAnswerer::closeDialog(dialog);
            });
            w.findChild<QAction *>(QStringLiteral("actionConnect"))->trigger();
            QCOMPARE(answerer.texts, QStringList({QString::fromUtf8("打开设备失败。")}));
            // Qt's own buttons come from Qt's catalog.
            QVERIFY2(okText != QStringLiteral("OK") && !okText.isEmpty(), qPrintable(okText));
        }
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml"));
        QCoreApplication::removeTranslator(&app);
        QCoreApplication::removeTranslator(&qt);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
