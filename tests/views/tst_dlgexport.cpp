#include "views/dlgexport.h"
#include "tests/support/dialoganswerer.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class TstDlgExport : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    static T *child(const dlgExport &dialog, const char *name)
    {
        T *widget = dialog.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no %s in the form", name);
        return widget;
    }

private slots:
    void opensWithTableAndSceneRowHidden();
    void formMatchesItsLayout();
    void choicesSetTypeAndSceneRow();
    void okAndCancelCloseTheDialog();
    void presetNameShowsInTheField();
    void typedNameIsUsed();
    void browseSetsTheField();
    void cancelledBrowseEmptiesTheField();
};

void TstDlgExport::opensWithTableAndSceneRowHidden()
{
    dlgExport dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.exportType(), ExportKind::Readings);
    QVERIFY(child<QRadioButton>(dialog, "rbTable")->isChecked());
    QVERIFY(!child<QWidget>(dialog, "wgtScene")->isVisible());
    QVERIFY(dialog.sceneFileName().isEmpty());
}

void TstDlgExport::formMatchesItsLayout()
{
    dlgExport dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("dlgExport"));
    QCOMPARE(dialog.size(), QSize(447, 192));
    QVERIFY(dialog.windowTitle().isEmpty());

    const QStringList radioNames{"rbTable", "rbHistogram", "rbChart", "rbPdf", "rbSummary"};
    const QStringList radioTexts{"Table(XLS)", "Histogram(JPG)", "Chart(JPG)", "PDF", "Summary of all items (PDF)"};
    auto *column = child<QVBoxLayout>(dialog, "verticalLayout");
    QCOMPARE(column->contentsMargins().left(), 6);
    QCOMPARE(column->count(), 5);
    for (int i = 0; i < 5; ++i) {
        auto *radio = child<QRadioButton>(dialog, qPrintable(radioNames[i]));
        QCOMPARE(radio->text(), radioTexts[i]);
        QCOMPARE(radio->parentWidget(), &dialog);
        QCOMPARE(column->itemAt(i)->widget(), radio);
    }

    auto *outer = child<QGridLayout>(dialog, "gridLayout_2");
    QCOMPARE(outer->columnCount(), 1);
    QCOMPARE(outer->itemAtPosition(0, 0)->layout(), column);
    QSpacerItem *spacer = outer->itemAtPosition(1, 0)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), QSize(20, 0));
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(outer->itemAtPosition(2, 0)->widget(), child<QWidget>(dialog, "wgtScene"));
    auto *buttons = child<QDialogButtonBox>(dialog, "buttonBox");
    QCOMPARE(outer->itemAtPosition(3, 0)->widget(), buttons);
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons->orientation(), Qt::Horizontal);

    auto *scene = child<QGridLayout>(dialog, "gridLayout");
    QCOMPARE(scene->horizontalSpacing(), 1);
    QCOMPARE(scene->contentsMargins(), QMargins(1, 1, 1, 1));
    auto *label = child<QLabel>(dialog, "label");
    QCOMPARE(label->text(), QStringLiteral("Scene Picture"));
    QCOMPARE(label->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(label->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(scene->itemAtPosition(0, 0)->widget(), label);
    auto *row = child<QHBoxLayout>(dialog, "horizontalLayout_2");
    QCOMPARE(scene->itemAtPosition(1, 0)->layout(), row);
    QCOMPARE(row->spacing(), 0);
    auto *edit = child<QLineEdit>(dialog, "edtSceneName");
    auto *browse = child<QPushButton>(dialog, "btnScenePic");
    QCOMPARE(row->itemAt(0)->widget(), edit);
    QCOMPARE(row->itemAt(1)->widget(), browse);
    QVERIFY(!edit->isReadOnly());
    QCOMPARE(browse->text(), QStringLiteral("..."));
    QCOMPARE(browse->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(browse->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(browse->maximumSize(), QSize(30, 16777215));
}

void TstDlgExport::choicesSetTypeAndSceneRow()
{
    dlgExport dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *scene = child<QWidget>(dialog, "wgtScene");
    struct Choice { const char *name; ExportKind type; bool sceneShown; };
    const Choice choices[] = {
        {"rbPdf", ExportKind::Report, true},      {"rbHistogram", ExportKind::Histogram, false},
        {"rbPdf", ExportKind::Report, true},      {"rbChart", ExportKind::Chart, false},
        {"rbPdf", ExportKind::Report, true},      {"rbTable", ExportKind::Readings, false},
        {"rbSummary", ExportKind::Summary, false}, {"rbPdf", ExportKind::Report, true},
        {"rbSummary", ExportKind::Summary, false}, {"rbHistogram", ExportKind::Histogram, false}};
    for (const Choice &choice : choices) {
        child<QRadioButton>(dialog, choice.name)->click();
        QVERIFY2(child<QRadioButton>(dialog, choice.name)->isChecked(), choice.name);
        QCOMPARE(dialog.exportType(), choice.type);
        QCOMPARE(scene->isVisible(), choice.sceneShown);
    }
}

void TstDlgExport::okAndCancelCloseTheDialog()
{
    for (auto button : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel}) {
        dlgExport dialog;
        QTimer::singleShot(0, &dialog, [&] { child<QDialogButtonBox>(dialog, "buttonBox")->button(button)->click(); });
        QCOMPARE(dialog.exec(), button == QDialogButtonBox::Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }
}

void TstDlgExport::presetNameShowsInTheField()
{
    dlgExport dialog;
    const QString name = QStringLiteral("/pictures/scene 1.png");
    dialog.setSceneFileName(name);
    QCOMPARE(child<QLineEdit>(dialog, "edtSceneName")->text(), name);
    QCOMPARE(dialog.sceneFileName(), name);
}

void TstDlgExport::typedNameIsUsed()
{
    dlgExport dialog;
    dialog.setSceneFileName(QStringLiteral("/old/scene.png"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    child<QRadioButton>(dialog, "rbPdf")->click();
    auto *edit = child<QLineEdit>(dialog, "edtSceneName");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("  /new/scene.jpg "));
    QCOMPARE(dialog.sceneFileName(), QStringLiteral("/new/scene.jpg"));

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QVERIFY(dialog.sceneFileName().isEmpty());
}

void TstDlgExport::browseSetsTheField()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("scene.png"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(picture));

    dlgExport dialog;
    dialog.setSceneFileName(QStringLiteral("/old/scene.png"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    DialogAnswerer answerer;
    QString caption;
    QStringList filters;
    answerer.then([&](QWidget *widget) {
        auto *files = qobject_cast<QFileDialog *>(widget);
        if (!files) {
            DialogAnswerer::closeDialog(widget);
            return;
        }
        caption = files->windowTitle();
        filters = files->nameFilters();
        // Type the name as a user would; the directory model loads lazily.
        auto *nameEdit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(nameEdit);
        nameEdit->setText(picture);
        static_cast<QDialog *>(files)->accept();
    });
    QTest::mouseClick(child<QPushButton>(dialog, "btnScenePic"), Qt::LeftButton);

    QCOMPARE(caption, QStringLiteral("Please select a scene picture."));
    QCOMPARE(filters, QStringList{QStringLiteral("Images(*.png *.xpm *.jpg)")});
    QCOMPARE(child<QLineEdit>(dialog, "edtSceneName")->text(), picture);
    QCOMPARE(dialog.sceneFileName(), picture);
}

void TstDlgExport::cancelledBrowseEmptiesTheField()
{
    dlgExport dialog;
    dialog.setSceneFileName(QStringLiteral("/old/scene.png"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    DialogAnswerer answerer;
    QTest::mouseClick(child<QPushButton>(dialog, "btnScenePic"), Qt::LeftButton);
    QCOMPARE(answerer.count(), 1);
    QVERIFY(child<QLineEdit>(dialog, "edtSceneName")->text().isEmpty());
    QVERIFY(dialog.sceneFileName().isEmpty());
}

QTEST_MAIN(TstDlgExport)
#include "tst_dlgexport.moc"
