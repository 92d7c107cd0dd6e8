// Takes the user manual's screenshots of the real main window: it loads the
// device plug-in from Lib/ beside this tool (the simulated gauge), connects,
// measures for a few seconds, looks at each tab, hovers and zooms the chart,
// sets limits and looks at the Statistics tab, and downloads the gauge's
// memory; fills in the inspection details and exports the report, whose
// first page is rendered with pdftoppm. Usage: manual_screenshots <output dir>
#include "app/widget.h"
#include "charts/dmmchart.h"
#include "exchange/dlgexport.h"
#include "manual/windowdriver.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

// Enough live readings for a readable table, histogram and chart.
constexpr int LiveReadings = 16;
constexpr int LiveTimeoutMs = 30000;

int fail(const char *what)
{
    std::fprintf(stderr, "manual_screenshots: %s\n", what);
    return 1;
}

QProgressDialog *visibleProgressDialog(const QWidget &window)
{
    const auto dialogs = window.findChildren<QProgressDialog *>();
    for (QProgressDialog *dialog : dialogs)
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

// The window with the progress dialog drawn over its middle, as the user
// sees them together. Offscreen windows have no frame, so a plain title bar
// carrying the dialog's title stands in for the window manager's.
QPixmap windowWithDialog(QWidget &window, QWidget &dialog)
{
    QPixmap picture = window.grab();
    const QPixmap dialogPicture = dialog.grab();
    QPainter painter(&picture);
    const int titleHeight = painter.fontMetrics().height() + 6;
    const int width = qMax(dialogPicture.width(), painter.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 12);
    const QRect frame((picture.width() - width) / 2, (picture.height() - dialogPicture.height() - titleHeight) / 2,
                      width, dialogPicture.height() + titleHeight);
    const QRect titleBar(frame.topLeft(), QSize(width, titleHeight));
    painter.fillRect(frame.adjusted(-1, -1, 1, 1), Qt::darkGray);
    painter.fillRect(frame, dialog.palette().window());
    painter.fillRect(titleBar, QColor(70, 70, 70));
    painter.setPen(Qt::white);
    painter.drawText(titleBar.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, dialog.windowTitle());
    painter.drawPixmap(frame.left() + (width - dialogPicture.width()) / 2, titleBar.bottom() + 1, dialogPicture);
    return picture;
}

int takeScreenshots(Widget &window, const QDir &out)
{
    using namespace WindowDriver;

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *table = window.findChild<QTableView *>(QStringLiteral("tv"));
    auto *tree = window.findChild<QTreeView *>(QStringLiteral("tvItems"));
    auto *chart = window.findChild<DMMChart *>(QStringLiteral("chart"));
    auto *connect = window.findChild<QAction *>(QStringLiteral("actionConnect"));
    auto *disconnect = window.findChild<QAction *>(QStringLiteral("actionDisconnect"));
    auto *start = window.findChild<QAction *>(QStringLiteral("actionStart"));
    auto *stop = window.findChild<QAction *>(QStringLiteral("actionStop"));
    auto *download = window.findChild<QAction *>(QStringLiteral("actionItemDownload"));
    if (!tabs || !table || !tree || !chart || !connect || !disconnect || !start || !stop || !download)
        return fail("the window lacks a widget or action it should have");

    wait(200);
    if (!connect->isEnabled())
        return fail("Connect is disabled: no gauge plug-in in Lib/");
    connect->trigger();
    if (!waitUntil([start] { return start->isEnabled(); }, 5000))
        return fail("the gauge did not open");

    // Live measuring into Measure1.
    start->trigger();
    tabs->setCurrentIndex(0);
    if (!waitUntil([table] { return table->model()->rowCount() >= LiveReadings; }, LiveTimeoutMs))
        return fail("no live readings arrived");
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-table.png"))))
        return 1;
    stop->trigger();

    tabs->setCurrentIndex(1);
    wait(200);
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-histogram.png"))))
        return 1;

    tabs->setCurrentIndex(2);
    wait(200);
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-chart.png"))))
        return 1;

    // Where the plot lies once its margins fit the texts around it.
    const QRect plot = chart->plotRect();
    hover(chart, QPoint(plot.left() + plot.width() * 6 / 10, plot.center().y()));
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-chart-readout.png"))))
        return 1;

    // Right and down zooms; up and left goes back to all readings.
    const QPoint zoomFrom(plot.left() + plot.width() / 4, plot.top() + 10);
    const QPoint zoomTo(plot.left() + plot.width() * 7 / 10, plot.bottom() - 10);
    drag(chart, zoomFrom, zoomTo);
    wait(100);
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-chart-zoom.png"))))
        return 1;
    drag(chart, zoomTo, zoomFrom);

    // Limits for Measure1, the chart with their lines and the Statistics tab.
    auto *limits = window.findChild<QAction *>(QStringLiteral("actionItemLimits"));
    if (!limits)
        return fail("the window has no Limits command");
    tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(1, 0)));
    bool limitsShot = false;
    QTimer::singleShot(300, &window, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("sbNominal"))->setValue(120);
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("sbMaximum"))->setValue(135);
        dialog->findChild<QComboBox *>(QStringLiteral("cbRule"))->setCurrentIndex(1);
        wait(100);
        limitsShot = savePng(windowWithDialog(window, *dialog), out.filePath(QStringLiteral("shot-limits.png")));
        dialog->accept();
    });
    limits->trigger();
    if (!limitsShot)
        return fail("the limits dialog did not open");
    wait(200);
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-chart-limits.png"))))
        return 1;
    tabs->setCurrentWidget(window.findChild<QWidget *>(QStringLiteral("tabStatistics")));
    wait(200);
    if (!savePng(window.grab(), out.filePath(QStringLiteral("shot-statistics.png"))))
        return 1;

    // The inspection details of Measure1, then its report.
    auto *details = window.findChild<QAction *>(QStringLiteral("actionItemDetails"));
    auto *exportAction = window.findChild<QAction *>(QStringLiteral("actionExport"));
    if (!details || !exportAction)
        return fail("the window has no Details or Export command");
    bool detailsShot = false;
    QTimer::singleShot(300, &window, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const std::pair<const char *, const char *> texts[] = {
            {"edtProject", "Harbour bridge refurbishment"}, {"edtStructure", "Span 4, north girder, web"},
            {"edtCoating", "Zinc-rich epoxy, 2 coats"},      {"edtGaugeModel", "VK508M"},
            {"edtGaugeSerial", "508-2231"},                    {"edtProbeSerial", "F1-0447"},
            {"edtAdjustment", "zero and one foil on the blasted surface"}, {"edtInspector", "A. Lee"}};
        for (const auto &text : texts)
            dialog->findChild<QLineEdit *>(QLatin1String(text.first))->setText(QLatin1String(text.second));
        dialog->findChild<QDateEdit *>(QStringLiteral("dteCalibration"))->setDate(QDate(2026, 3, 2));
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("txtNotes"))->setPlainText(QStringLiteral("Dry, 18 °C"));
        wait(100);
        detailsShot = savePng(windowWithDialog(window, *dialog), out.filePath(QStringLiteral("shot-details.png")));
        dialog->accept();
    });
    details->trigger();
    if (!detailsShot)
        return fail("the details dialog did not open");
    QTemporaryDir reportDir;
    const QString report = reportDir.filePath(QStringLiteral("report.pdf"));
    // Answers the export's dialogs: the PDF choice, the file name, the message.
    QTimer answer;
    answer.setInterval(100);
    QObject::connect(&answer, &QTimer::timeout, [&report] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *choice = qobject_cast<dlgExport *>(modal)) {
            choice->findChild<QRadioButton *>(QStringLiteral("rbPdf"))->setChecked(true);
            choice->accept();
        } else if (auto *file = qobject_cast<QFileDialog *>(modal)) {
            file->selectFile(report);
            if (auto *edit = file->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(report);
            static_cast<QDialog *>(file)->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->accept();
        }
    });
    answer.start();
    exportAction->trigger();
    // The report is written off the window's thread; its message follows.
    if (!waitUntil([&report] { return QFileInfo::exists(report); }, 30000))
        return fail("the report was not written");
    // Its message comes next and is answered too.
    wait(500);
    answer.stop();
    if (QProcess::execute(QStringLiteral("pdftoppm"),
                          {"-png", "-r", "70", "-f", "1", "-l", "1", "-singlefile", report,
                           out.filePath(QStringLiteral("shot-report"))})
        != 0)
        return fail("the report's first page could not be rendered (pdftoppm)");

    // Download the gauge's memory into Store Data.
    tabs->setCurrentIndex(0);
    tree->setCurrentIndex(tree->model()->index(0, 0));
    wait(100);
    download->trigger();
    QProgressDialog *progress = nullptr;
    if (!waitUntil([&] {
            progress = visibleProgressDialog(window);
            return progress && progress->value() >= 2;
        }, 10000))
        return fail("the download did not start");
    if (!savePng(windowWithDialog(window, *progress), out.filePath(QStringLiteral("shot-download.png"))))
        return 1;
    if (!waitUntil([&] { return !visibleProgressDialog(window); }, 15000))
        return fail("the download did not end");

    disconnect->trigger();
    wait(100);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return fail("usage: manual_screenshots <output directory>");
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists())
        return fail("the output directory does not exist");

    int result = 0;
    {
        // Destroyed before the application; never closed, so no options.xml
        // is written beside this tool.
        Widget window;
        window.show();
        window.resize(1000, 600);
        result = takeScreenshots(window, out);
    }
    return result;
}
