#include "exchange/sheetrows.h"
#include "exchange/tablefile.h"

#include "xlstesttools.h"

#include <QtTest>

namespace {

// A cell as tests/fixtures/dense-reads writes it.
QString cellLine(int row, int column, const QVariant &value)
{
    QString type, text;
    switch (value.userType()) {
    case QMetaType::Double:
        type = QStringLiteral("n");
        text = QString::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QDateTime:
        type = QStringLiteral("t");
        text = value.toDateTime().toString(Qt::ISODate);
        break;
    case QMetaType::Bool:
        type = QStringLiteral("b");
        text = value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        break;
    default:
        type = QStringLiteral("s");
        text = value.toString();
    }
    text.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return QStringLiteral("%1\t%2\t%3\t%4").arg(row).arg(column).arg(type, text);
}

} // namespace

class TestSheetRows : public QObject
{
    Q_OBJECT

private slots:
    // Every sample file read row by row gives the cells the readers gave
    // when they laid out the whole used range, rows and cells in order.
    void sameCellsAsTheWholeGrid_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("dump");
        const QDir data(XlsTestTools::sourceDir() + QStringLiteral("/tests/fixtures"));
        const QDir dumps(data.filePath(QStringLiteral("dense-reads")));
        for (const QString &dump : dumps.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            const QString name = dump.chopped(4);
            for (const char *folder : {"workbooks", "workbooks-xlsx", "import"})
                if (QFileInfo::exists(data.filePath(QLatin1String(folder) + QLatin1Char('/') + name)))
                    QTest::newRow(qPrintable(name)) << data.filePath(QLatin1String(folder) + QLatin1Char('/') + name)
                                                    << dumps.filePath(dump);
        }
    }

    void sameCellsAsTheWholeGrid()
    {
        QFETCH(QString, sample);
        QFETCH(QString, dump);
        QFile expected(dump);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QStringList lines;
        QString error;
        const std::unique_ptr<SheetRows> rows = TableFile::open(sample, &error);
        for (int previous = -1; rows && rows->next(); previous = rows->row()) {
            QVERIFY(rows->row() > previous);
            for (int i = 0; i < rows->cellCount(); ++i) {
                QVERIFY(i == 0 || rows->column(i) > rows->column(i - 1));
                if (rows->value(i).isValid())
                    lines << cellLine(rows->row(), rows->column(i), rows->value(i));
            }
        }
        if (rows)
            error = rows->errorString();
        if (!error.isEmpty())
            lines = QStringList{QStringLiteral("error\t") + error};
        QCOMPARE(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'), QString::fromUtf8(expected.readAll()));
    }
};

QTEST_GUILESS_MAIN(TestSheetRows)
#include "tst_sheetrows.moc"
