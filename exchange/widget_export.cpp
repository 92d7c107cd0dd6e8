#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "exchange/dlgexport.h"
#include "exchange/savedialog.h"
#include "exchange/savedfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <functional>

namespace {

// Shows the wait cursor for as long as it lives, whichever way the export
// ends.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

void Widget::on_actionExport_triggered()
{
    dlgExport dialog;
    dialog.setSceneFileName(sceneFileName);
    const int result = dialog.exec();

    WaitCursor wait;
    if (result != QDialog::Accepted)
        return;

    switch (dialog.exportType()) {
    case 0:
        exportExcel();
        break;
    case 1:
        exportPicture([this] { return histogram->pixmap(); }, tr("Export the histogram to a picture."));
        break;
    case 2:
        exportPicture([this] { return ui->chart->pixmap(); }, tr("Export the chart to a picture."));
        break;
    case 3: {
        const QString scene = dialog.sceneFileName();
        if (QFileInfo::exists(scene))
            sceneFileName = scene;
        exportPdf(scene);
        break;
    }
    case 4:
        exportSummary();
        break;
    default:
        break;
    }
}

void Widget::on_actionImport_triggered()
{
    importExcel();
}

void Widget::paintAllViews()
{
    // A view paints only while its tab is shown: show each once so its
    // picture holds every reading of the active item.
    const int current = ui->tabWidget->currentIndex();
    for (int index = 0; index < ui->tabWidget->count(); ++index) {
        ui->tabWidget->setCurrentIndex(index);
        waitMsec(10);
    }
    ui->tabWidget->setCurrentIndex(current);
}

void Widget::exportPicture(const std::function<QPixmap()> &picture, const QString &caption)
{
    const QString name = askSaveFileName(this, caption, QStringLiteral("."), QStringLiteral("JPG File(*.jpg)"));
    if (name.isEmpty())
        return;
    // Drawn now, after the dialog: readings may have come in meanwhile.
    paintAllViews();
    QString error;
    if (!savePicture(picture(), name, &error))
        showExportFailure(error);
}

void Widget::showExportFailure(const QString &reason)
{
    QString text = tr("The datas is exported failed.");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    QMessageBox::information(this, QString(), text, QMessageBox::Ok);
}

void Widget::waitMsec(int ms)
{
    // A monotonic clock: a wait across midnight must not last a day.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}
