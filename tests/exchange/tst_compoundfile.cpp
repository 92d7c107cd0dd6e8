#include "exchange/compoundfile.h"

#include "xlstesttools.h"

#include <QCryptographicHash>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <random>

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray data(size, '\0');
    std::mt19937 rng{quint32(seed)};
    for (int i = 0; i < size; ++i)
        data[i] = char(rng());
    return data;
}

QString md5(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

quint32 get32(const QByteArray &file, int at)
{
    return qFromLittleEndian<quint32>(file.constData() + at);
}

void set32(QByteArray &file, int at, quint32 value)
{
    qToLittleEndian(value, file.data() + at);
}

} // namespace

class TestCompoundFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refusesDamagedContainers_data();
    void refusesDamagedContainers();
    void chainsEndWithTheirSize();
    void survivesRandomDamage();
};

void TestCompoundFile::roundTrip_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("extendedTable");
    // Below 4096 bytes a stream lives in the mini stream.
    QTest::newRow("one small stream") << QList<int>{100} << false;
    QTest::newRow("largest mini stream") << QList<int>{4095} << false;
    QTest::newRow("smallest regular stream") << QList<int>{4096} << false;
    QTest::newRow("empty stream") << QList<int>{0} << false;
    QTest::newRow("mixed") << QList<int>{70, 5000, 0, 4000, 130000, 1} << false;
    QTest::newRow("seven streams") << QList<int>{10, 20, 30, 40, 50, 60, 70} << false;
    // Beyond 109 allocation-table sectors (about 7 MB) the extended table
    // lists the rest.
    QTest::newRow("extended table") << QList<int>{8 * 1024 * 1024, 300} << true;
    QTest::newRow("two extended sectors") << QList<int>{16 * 1024 * 1024 + 5} << true;
}

void TestCompoundFile::roundTrip()
{
    QFETCH(QList<int>, sizes);
    QFETCH(bool, extendedTable);
    QVector<CompoundStream> streams;
    for (int i = 0; i < sizes.size(); ++i)
        streams.append({i == 0 ? QStringLiteral("Workbook") : QStringLiteral("Stream %1").arg(i),
                        pattern(sizes.at(i), i + 1)});
    const QByteArray file = writeCompoundFile(streams);
    QCOMPARE(file.size() % 512, 0);
    QCOMPARE(get32(file, 72) > 0, extendedTable);

    CompoundFileReader reader;
    QVERIFY2(reader.open(file), qPrintable(reader.errorString()));
    QCOMPARE(reader.streamNames().size(), streams.size());
    for (const CompoundStream &s : streams) {
        QByteArray back;
        QVERIFY2(reader.readStream(s.name.toUpper(), &back), qPrintable(reader.errorString()));
        QCOMPARE(back.size(), s.data.size());
        QVERIFY(back == s.data);
    }

    // An independent reader finds the same bytes.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.bin"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    QStringList names;
    for (const CompoundStream &s : streams)
        names << s.name;
    QByteArray out;
    QString error;
    QVERIFY2(XlsTestTools::runPython(QStringLiteral("compdoc_dump.py"), QStringList{path} + names,
                                     &out, &error),
             qPrintable(error));
    const QVariantMap hashes = QJsonDocument::fromJson(out).toVariant().toMap();
    for (const CompoundStream &s : streams) {
        if (s.data.isEmpty())
            continue; // xlrd gives nothing for an empty stream
        QCOMPARE(hashes.value(s.name).toString(), md5(s.data));
    }
}

void TestCompoundFile::refusesDamagedContainers_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("not a compound file") << "signature";
    QTest::newRow("cut short") << "truncate";
    QTest::newRow("chain in a cycle") << "cycle";
    QTest::newRow("directory outside the file") << "directory";
    QTest::newRow("stream larger than the file") << "size";
    QTest::newRow("allocation table larger than the file") << "fatcount";
    QTest::newRow("allocation sector outside the file") << "fatsector";
    QTest::newRow("mini chain in a cycle") << "minicycle";
}

void TestCompoundFile::refusesDamagedContainers()
{
    QFETCH(QString, damage);
    // One regular stream of three sectors and one mini stream. Layout of
    // the writer: FAT sector 0, directory 1, mini FAT 2, mini stream 3,
    // then the regular stream.
    QByteArray file = writeCompoundFile(
            {{QStringLiteral("Workbook"), pattern(5000, 1)}, {QStringLiteral("Small"), pattern(200, 2)}});
    const int fat = 512; // sector 0
    const int directory = 512 + 512 * int(get32(file, 48));
    const quint32 workbookStart = get32(file, directory + 128 + 116);
    QString stream = QStringLiteral("Workbook");
    if (damage == "signature") {
        file[0] = 'X';
    } else if (damage == "truncate") {
        file.truncate(512 + 512 * 4);
    } else if (damage == "cycle") {
        set32(file, fat + 4 * int(workbookStart + 1), workbookStart);
    } else if (damage == "directory") {
        set32(file, 48, 0x00FFFFF0);
    } else if (damage == "size") {
        set32(file, directory + 128 + 120, 0x7FFFFFF0);
    } else if (damage == "fatcount") {
        set32(file, 44, 0x10000000);
    } else if (damage == "fatsector") {
        set32(file, 76, 0x00FFFFF0);
    } else if (damage == "minicycle") {
        const int miniFat = 512 + 512 * int(get32(file, 60));
        const quint32 smallStart = get32(file, directory + 2 * 128 + 116);
        set32(file, miniFat + 4 * int(smallStart + 2), smallStart);
        stream = QStringLiteral("Small");
    }
    CompoundFileReader reader;
    QByteArray data;
    const bool ok = reader.open(file) && reader.readStream(stream, &data);
    QVERIFY(!ok);
    QVERIFY(!reader.errorString().isEmpty());
}

// A chain is followed only as far as its stream's size needs: the sample's
// root entry holds one mini sector, but its chain runs on through the
// workbook's sectors. The workbook comes out whole, as olefile reads it.
void TestCompoundFile::chainsEndWithTheirSize()
{
    const QString path = XlsTestTools::workbookSample(QStringLiteral("corrupted_error.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    CompoundFileReader reader;
    QByteArray data;
    QVERIFY2(reader.open(f.readAll()) && reader.readStream(QStringLiteral("Workbook"), &data),
             qPrintable(reader.errorString()));
    QByteArray sizes;
    QString error;
    QVERIFY2(XlsTestTools::runPython(QStringLiteral("ole_streams.py"), {path}, &sizes, &error), qPrintable(error));
    QCOMPARE(data.size(), QJsonDocument::fromJson(sizes).object().value(QStringLiteral("Workbook")).toInt());
    QCOMPARE(data.left(4), QByteArray("\x09\x08\x10\x00", 4)); // a BOF record
}

void TestCompoundFile::survivesRandomDamage()
{
    // Bytes changed at random places of the header, tables and directory:
    // every outcome is a stream or an error, never a crash (the sanitizer
    // build checks the memory accesses).
    const QByteArray good = writeCompoundFile(
            {{QStringLiteral("Workbook"), pattern(9000, 3)}, {QStringLiteral("Small"), pattern(300, 4)}});
    std::mt19937 rng(42);
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray file = good;
        const int changes = 1 + int(rng() % 4);
        for (int k = 0; k < changes; ++k) {
            const int at = int(rng() % 2048);
            file[at] = char(rng());
        }
        CompoundFileReader reader;
        QByteArray data;
        if (reader.open(file)) {
            ++opened;
            reader.readStream(QStringLiteral("Workbook"), &data);
            reader.readStream(QStringLiteral("Small"), &data);
        }
        QVERIFY(data.size() <= file.size());
    }
    QVERIFY(opened > 0);
}

QTEST_GUILESS_MAIN(TestCompoundFile)
#include "tst_compoundfile.moc"
