#include "app/optiondialog.h"
#include "app/widget.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QtTest>

// The Options command: the language chosen for the next start.
class TestOptions : public QObject
{
    Q_OBJECT

private:
    static QString settingsPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml"); }

    // Selects a combo entry in the Options dialog and presses OK or Cancel;
    // reports the entry that was preselected.
    static DialogAnswerer::Handler choose(int index, bool ok, int *preselected = nullptr)
    {
        return [=](QWidget *dialog) {
            auto *options = qobject_cast<OptionDialog *>(dialog);
            if (!options)
                return DialogAnswerer::closeDialog(dialog);
            if (preselected)
                *preselected = options->combo->currentIndex();
            options->combo->setCurrentIndex(index);
            (ok ? options->btnOk : options->btnCancel)->click();
        };
    }

private slots:
    void init()
    {
        testGauge()->reset();
        QFile::remove(settingsPath());
    }
    void cleanup() { QFile::remove(settingsPath()); }

    void dialogContents()
    {
        OptionDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dialog.combo->count(), 2);
        QCOMPARE(dialog.combo->itemText(0), QString::fromUtf8("中文"));
        QCOMPARE(dialog.combo->itemText(1), QStringLiteral("English"));
        QCOMPARE(dialog.btnOk->text(), QStringLiteral("Ok"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Cancel"));
    }

    void languageChoice()
    {
        Widget w;
        w.show();
        QAction *options = w.findChild<QAction *>(QStringLiteral("actionOption"));
        DialogAnswerer answerer;

        // No settings: English preselected; OK stores en_US, which differs
        // from the empty value, so the restart notice shows.
        int preselected = -1;
        answerer.then(choose(1, true, &preselected));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        options->trigger();
        QCOMPARE(preselected, 1);
        QCOMPARE(WidgetTestAccess::language(w), QStringLiteral("en_US"));
        QCOMPARE(answerer.texts.value(1), QStringLiteral("Changes will take effect when you restart application."));
        QCOMPARE(answerer.titles.value(1), QStringLiteral("VK508M"));

        // The same language again: no notice.
        answerer.then(choose(1, true));
        options->trigger();
        QCOMPARE(answerer.count(), 3);

        // Cancel after changing the selection changes nothing.
        answerer.then(choose(0, false));
        options->trigger();
        QCOMPARE(WidgetTestAccess::language(w), QStringLiteral("en_US"));
        QCOMPARE(answerer.count(), 4);

        // Chinese, then closing the window writes it.
        answerer.then(choose(0, true));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        options->trigger();
        QCOMPARE(WidgetTestAccess::language(w), QStringLiteral("zh_CN"));
        answerer.then(choose(1, false, &preselected));
        options->trigger();
        QCOMPARE(preselected, 0);

        w.close();
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("    <Language>zh_CN</Language>\n"));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
