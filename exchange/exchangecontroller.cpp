#include "exchange/exchangecontroller.h"

#include "data/activeitemview.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemscontroller.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "exchange/dlgexport.h"
#include "exchange/itemreport.h"
#include "exchange/jobsummary.h"
#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"
#include "exchange/readingsimport.h"
#include "exchange/readingsworkbook.h"
#include "exchange/savedfile.h"
#include "exchange/savedialog.h"
#include "exchange/sheetrows.h"
#include "exchange/summaryreport.h"
#include "exchange/tablefile.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTreeView>

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

ExchangeController::ExchangeController(ItemStore *store, ItemsController *items, ActiveItemView *view,
                                       QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_items(items)
    , m_view(view)
    , m_dialogParent(dialogParent)
{
    m_pdfColumns << new PdfColumn{QStringLiteral("No."), 2} << new PdfColumn{QStringLiteral("Time"), 3}
                 << new PdfColumn{QStringLiteral("Value"), 3} << new PdfColumn{QStringLiteral("Unit"), 2}
                 << new PdfColumn{QStringLiteral("Basis"), 2};
}

ExchangeController::~ExchangeController()
{
    qDeleteAll(m_pdfColumns);
}

void ExchangeController::exportChosen()
{
    dlgExport dialog;
    dialog.setSceneFileName(m_sceneFileName);
    const int result = dialog.exec();

    WaitCursor wait;
    if (result != QDialog::Accepted)
        return;

    switch (dialog.exportType()) {
    case 0:
        exportReadings();
        break;
    case 1:
        exportPicture([this] { return m_view->histogramPicture(); }, tr("Export the histogram to a picture."));
        break;
    case 2:
        exportPicture([this] { return m_view->chartPicture(); }, tr("Export the chart to a picture."));
        break;
    case 3: {
        const QString scene = dialog.sceneFileName();
        if (QFileInfo::exists(scene))
            m_sceneFileName = scene;
        exportReport(scene);
        break;
    }
    case 4:
        exportSummary();
        break;
    default:
        break;
    }
}

void ExchangeController::exportReadings()
{
    QString filter;
    const QString chosen = askSaveFileName(m_dialogParent, tr("Export the datas to a excel file."), QString(),
                                           TableFile::exportFilters(), &filter);
    const TableFile::Format format = TableFile::exportFormat(chosen, filter);
    const QString name = withDefaultSuffix(chosen, TableFile::suffix(format));
    if (name.isEmpty())
        return;

    // A classic worksheet ends at row 65,536: refuse rather than cut.
    const DataModel &readings = *m_view->readings();
    const int rows = readings.rowCount();
    if (format == TableFile::Format::Xls && rows > ReadingsWorkbook::MaxReadings) {
        showFailure(tr("A workbook holds at most %1 readings; this table has %2.")
                        .arg(ReadingsWorkbook::MaxReadings)
                        .arg(rows));
        return;
    }
    QString error;
    if (!TableFile::write(name, format, readings, &error)) {
        showFailure(error);
        return;
    }
    showSuccess();
}

void ExchangeController::exportPicture(const std::function<QPixmap()> &picture, const QString &caption)
{
    const QString name =
        askSaveFileName(m_dialogParent, caption, QStringLiteral("."), QStringLiteral("JPG File(*.jpg)"));
    if (name.isEmpty())
        return;
    // Drawn now, after the dialog: readings may have come in meanwhile.
    m_view->paintAllViews();
    QString error;
    if (!savePicture(picture(), name, &error))
        showFailure(error);
}

void ExchangeController::exportReport(const QString &sceneFileName)
{
    const QString name = askSaveFileName(m_dialogParent, tr("Export the datas to a pdf file."), QString(),
                                         QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    // The views' pictures as they are now, after the dialog.
    m_view->paintAllViews();
    // The summary of the item whose readings the table shows; with
    // inspection details or limits, the inspection report around it.
    ReportSummary summary;
    ReportInspection inspection;
    if (const ItemData *item = m_view->item()) {
        summary = ItemReport::summary(summarizeItem(*item), item->limits());
        if (ItemReport::isInspection(*item))
            inspection = ItemReport::inspection(*item, QDate::currentDate());
    }
    QString error;
    if (!writePdfReport(name, *m_view->readings(), m_pdfColumns, sceneFileName, m_view->histogramPicture(),
                        m_view->chartPicture(), summary, inspection, &error)) {
        showFailure(error);
        return;
    }
    showSuccess();
}

void ExchangeController::exportSummary()
{
    const QString name = askSaveFileName(m_dialogParent, tr("Export the summary of all items to a pdf file."),
                                         QString(), QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    QList<const ItemData *> items;
    // The team's items too, after this installation's.
    for (ItemData *item : QList<ItemData *>{m_store->storeItem()} + m_store->items() + m_store->teamItems()) {
        m_store->loadReadingsOf(item);
        items << item;
    }
    const JobSummary job = summarizeJob(items);
    if (job.rows.isEmpty()) {
        showFailure(tr("No item has readings."));
        return;
    }
    QString error;
    if (!writeSummaryReport(name, job, &error)) {
        showFailure(error);
        return;
    }
    showSuccess();
}

void ExchangeController::importReadings()
{
    const QString name = QFileDialog::getOpenFileName(m_dialogParent, tr("Import the datas from a excel file."),
                                                      QString(), TableFile::importFilters());
    if (name.isEmpty())
        return;

    QTreeView *tree = m_items->tree();
    tree->setEnabled(false);
    auto refuse = [&](const QString &reason) {
        tree->setEnabled(true);
        QMessageBox::information(m_dialogParent, QString(), tr("The datas is imported failed.") + QLatin1Char('\n') + reason,
                                 QMessageBox::Ok);
    };
    QString error;
    const std::unique_ptr<SheetRows> rows = TableFile::open(name, &error);
    if (!rows) {
        // Not a workbook we can read: no item is made.
        refuse(error);
        return;
    }
    // Rows the program cannot read are refused and counted; a file found
    // damaged on the way, or without readings, makes no item.
    ReadingsImport import(*rows);
    if (!rows->errorString().isEmpty()) {
        refuse(rows->errorString());
        return;
    }
    const bool complete = import.rejected() == 0;
    const QString counts = complete && import.skipped() == 0 ? QString() : QLatin1Char('\n') + import.report();
    if (import.imported() == 0) {
        refuse(import.report());
        return;
    }
    // The item, its readings, its unit and its statistics are kept as one.
    m_store->beginChanges();
    m_items->newItem(m_items->nextImportName(), ItemData::Import);
    ItemData *item = m_store->activeItem();
    m_store->append(item, import.takeReadings(), false);
    tree->setEnabled(true);

    if (item->count() > 0)
        m_store->setUnit(item, item->readings().unit(item->count() - 1));
    m_store->calcStatistics(item);
    m_store->endChanges();
    m_view->refresh();

    QMessageBox::information(m_dialogParent, QString(),
                             (complete ? tr("The datas is imported successfully.") : tr("The datas is imported failed."))
                                 + counts,
                             QMessageBox::Ok);
}

void ExchangeController::showFailure(const QString &reason)
{
    QString text = tr("The datas is exported failed.");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    QMessageBox::information(m_dialogParent, QString(), text, QMessageBox::Ok);
}

void ExchangeController::showSuccess()
{
    QMessageBox::information(m_dialogParent, QString(), tr("The datas is exported successfully."), QMessageBox::Ok);
}
