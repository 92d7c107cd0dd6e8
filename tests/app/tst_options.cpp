#include "app/gaugeoptionswidget.h"
#include "app/optiondialog.h"
#include "app/teamoptionswidget.h"
#include "app/widget.h"
#include "team/teamsettings.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
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

    // The serial gauge's page shows its last line whole: the hint under
    // Test is not cut off at the dialog's bottom edge.
    void gaugePageShowsItsHintWhole()
    {
        OptionDialog dialog;
        dialog.addGaugeChoice();
        dialog.pages->setCurrentWidget(dialog.gauge);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *hint = dialog.gauge->findChild<QLabel *>(QStringLiteral("lblTest"));
        QVERIFY(hint->isVisible());
        QVERIFY2(hint->height() >= hint->heightForWidth(hint->width()),
                 qPrintable(QStringLiteral("%1 < %2").arg(hint->height()).arg(hint->heightForWidth(hint->width()))));
        const QRect shown = QRect(hint->mapTo(&dialog, QPoint()), hint->size());
        QVERIFY(dialog.rect().contains(shown));
        QVERIFY(QRect(dialog.pages->mapTo(&dialog, QPoint()), dialog.pages->size()).contains(shown));
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

    // The Team page writes team.conf; the window then syncs with that team
    // and shows its state, here an unreachable server, without a message box.
    void teamPageStartsTheSync()
    {
        const QString teamFile = TeamSettings::defaultPath();
        QFile::remove(teamFile);
        Widget w;
        w.show();
        auto *sync = w.findChild<QAction *>(QStringLiteral("actionTeamSync"));
        auto *state = w.findChild<QLabel *>(QStringLiteral("lblTeamState"));
        QVERIFY(!sync->isEnabled() && state->isHidden());
        DialogAnswerer answerer;
        answerer.then([](QWidget *dialog) {
            auto *options = qobject_cast<OptionDialog *>(dialog);
            if (!options)
                return DialogAnswerer::closeDialog(dialog);
            options->team->findChild<QCheckBox *>(QStringLiteral("chkEnabled"))->setChecked(true);
            options->team->findChild<QLineEdit *>(QStringLiteral("edtHost"))->setText(QStringLiteral("127.0.0.1"));
            options->team->findChild<QSpinBox *>(QStringLiteral("spnPort"))->setValue(1);
            options->team->findChild<QLineEdit *>(QStringLiteral("edtDatabase"))->setText(QStringLiteral("team"));
            options->team->findChild<QLineEdit *>(QStringLiteral("edtUser"))->setText(QStringLiteral("li"));
            options->btnOk->click();
        });
        answerer.then(DialogAnswerer::press(QMessageBox::Ok)); // the language's restart notice
        w.findChild<QAction *>(QStringLiteral("actionOption"))->trigger();
        QCOMPARE(TeamSettings::load(teamFile).user, QStringLiteral("li"));
        QVERIFY(sync->isEnabled() && !state->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(state->text().contains(QStringLiteral("cannot be reached")), 30000);
        QCOMPARE(answerer.count(), 2);
        QFile::remove(teamFile);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
