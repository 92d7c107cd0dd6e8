// The user manual made by the build: a real A4 PDF of several pages in the
// program folder, read back with poppler's tools, and its screenshots of the
// real window, checked by their pixels.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString manualPath()
{
    return QStringLiteral(VK_MANUAL_PDF);
}

QImage screenshot(const QString &name)
{
    return QImage(QStringLiteral(VK_MANUAL_SHOTS_DIR "/") + name).convertToFormat(QImage::Format_RGB32);
}

int countPixels(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (line[x] & 0xffffff) == (colour & 0xffffff);
    }
    return count;
}

} // namespace

class TestManual : public QObject
{
    Q_OBJECT

private slots:
    void isPdfInProgramFolder();
    void hasSeveralA4Pages();
    void explainsTheCommands();
    void carriesTheScreenshots();
    void screenshotsShowTheLiveWindow();
};

void TestManual::isPdfInProgramFolder()
{
    QFile file(manualPath());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(manualPath()));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 10000);
}

void TestManual::hasSeveralA4Pages()
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {manualPath()});
    QVERIFY2(!info.isEmpty(), "pdfinfo cannot read the manual");
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    QVERIFY(pages.hasMatch());
    QVERIFY2(pages.captured(1).toInt() >= 5, qPrintable(pages.captured(0)));
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
    QVERIFY(info.contains(QStringLiteral("VK508M Software User Manual")));
}

void TestManual::explainsTheCommands()
{
    // Compatibility normalisation undoes the typesetter's ligatures ("ﬀ").
    const QString text = runTool(QStringLiteral("pdftotext"), {manualPath(), QStringLiteral("-")})
                             .normalized(QString::NormalizationForm_KC)
                             .simplified();
    QVERIFY2(!text.isEmpty(), "pdftotext cannot read the manual");
    const QStringList expected = {
        QStringLiteral("Connect"), QStringLiteral("Disconnect"), QStringLiteral("Failed to open device."),
        QStringLiteral("Start"), QStringLiteral("Stop"), QStringLiteral("Store Data"), QStringLiteral("Live Data"),
        QStringLiteral("Set to active"), QStringLiteral("Download"), QStringLiteral("Export"),
        QStringLiteral("Import"), QStringLiteral("Table(XLS)"), QStringLiteral("Histogram(JPG)"),
        QStringLiteral("Chart(JPG)"), QStringLiteral("options.xml"), QStringLiteral("SceneFileName"),
        QStringLiteral("Changes will take effect when you restart application."),
        QStringLiteral("Program version " VK_VERSION)};
    for (const QString &word : expected)
        QVERIFY2(text.contains(word), qPrintable(word));
    QVERIFY(!text.contains(QStringLiteral("{{")));
}

void TestManual::carriesTheScreenshots()
{
    // One embedded picture per screenshot, at the window's full size.
    const QString list = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), manualPath()});
    QVERIFY2(!list.isEmpty(), "pdfimages cannot read the manual");
    int windowPictures = 0;
    const QStringList lines = list.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 4 && fields.at(2) == QLatin1String("image") && fields.at(3).toInt() >= 1000)
            ++windowPictures;
    }
    QVERIFY2(windowPictures >= 6, qPrintable(list));
}

void TestManual::screenshotsShowTheLiveWindow()
{
    const QRgb lineOrange = qRgb(250, 150, 0);
    const QRgb cursorBlue = qRgb(0, 100, 250);
    for (const char *name : {"shot-table.png", "shot-histogram.png", "shot-chart.png", "shot-chart-readout.png",
                             "shot-chart-zoom.png", "shot-download.png"}) {
        const QImage image = screenshot(QLatin1String(name));
        QVERIFY2(!image.isNull(), name);
        QVERIFY2(image.width() >= 1000 && image.height() >= 600, name);
    }

    // The histogram holds the readings as an orange bar, the chart as an
    // orange line; the read-out adds the blue cursor and its text.
    QVERIFY(countPixels(screenshot(QStringLiteral("shot-histogram.png")), lineOrange) > 2000);
    const QImage chart = screenshot(QStringLiteral("shot-chart.png"));
    QVERIFY(countPixels(chart, lineOrange) > 200);
    QVERIFY(countPixels(screenshot(QStringLiteral("shot-chart-readout.png")), cursorBlue)
            > countPixels(chart, cursorBlue) + 100);
    QVERIFY(screenshot(QStringLiteral("shot-chart-zoom.png")) != chart);

    // The limit lines, and the verdict in red or green on the Statistics tab.
    QVERIFY(countPixels(screenshot(QStringLiteral("shot-chart-limits.png")), qRgb(0, 140, 0)) > 200);
    const QImage statistics = screenshot(QStringLiteral("shot-statistics.png"));
    QVERIFY(countPixels(statistics, qRgb(200, 0, 0)) + countPixels(statistics, qRgb(0, 128, 0)) > 100);
}

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
