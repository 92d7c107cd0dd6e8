#include "views/exchangecontroller.h"

#include "views/activeitemview.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "views/itemscontroller.h"
#include "data/itemstore.h"
#include "exchange/exportjobs.h"
#include "exchange/importjob.h"
#include "exchange/itempictures.h"
#include "exchange/savedfile.h"
#include "views/dlgexport.h"
#include "views/longwork.h"
#include "views/savedialog.h"
#include "exchange/tablefile.h"

#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTreeView>

#include <memory>
#include <vector>

ExchangeController::ExchangeController(ItemStore *store, ItemsController *items, ActiveItemView *view,
                                       QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_items(items)
    , m_view(view)
    , m_dialogParent(dialogParent)
    , m_work(new LongWork(dialogParent, this))
{
    connect(m_work, &LongWork::busyChanged, this, &ExchangeController::busyChanged);
}

ExchangeController::~ExchangeController()
{
    m_work->cancelAndWait();
}

bool ExchangeController::isBusy() const
{
    return m_work->isBusy();
}

void ExchangeController::cancelAndWait()
{
    m_work->cancelAndWait();
    m_work->end();
    m_busyItems.clear();
}

void ExchangeController::writeOff(const ItemData *item, std::function<Written(JobProgress &)> write, bool sayDone)
{
    if (!m_work->begin())
        return;
    if (item)
        m_busyItems.insert(item);
    m_work->run<Written>(write, [this, sayDone](const Written &written) {
        const bool cancelled = !written.ok && written.error.isEmpty();
        m_busyItems.clear();
        m_work->end();
        if (written.ok) {
            if (sayDone)
                showSuccess();
        } else if (!cancelled) {
            showFailure(written.error);
        }
    });
}

void ExchangeController::exportChosen()
{
    dlgExport dialog;
    dialog.setSceneFileName(m_sceneFileName);
    const int result = dialog.exec();
    if (result != QDialog::Accepted || isBusy())
        return;

    switch (dialog.exportType()) {
    case ExportKind::Readings:
        exportReadings();
        break;
    case ExportKind::Histogram:
        exportPicture(Picture::Histogram, tr("Export the histogram to a picture."));
        break;
    case ExportKind::Chart:
        exportPicture(Picture::Chart, tr("Export the chart to a picture."));
        break;
    case ExportKind::Report: {
        const QString scene = dialog.sceneFileName();
        if (QFileInfo::exists(scene))
            m_sceneFileName = scene;
        exportReport(scene);
        break;
    }
    case ExportKind::Summary:
        exportSummary();
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

    // The readings the table shows, as they are now.
    const ItemData *item = m_view->item();
    const ReadingSeries readings = item ? item->readings() : ReadingSeries();
    const int rows = item ? std::min(m_store->shownCount(m_view->item()), readings.size()) : 0;
    const Unit unit = item ? item->unit() : Unit::Micrometre;
    ReadingSeries shown;
    shown.append(readings, 0, rows);
    writeOff(item, [name, format, shown, unit](JobProgress &progress) {
        Written written;
        written.ok = ExportJobs::writeReadings(name, format, shown, unit, &written.error, progress);
        return written;
    });
}

ItemPictureSettings ExchangeController::pictureSettings() const
{
    const ItemData *item = m_view->item();
    ItemPictureSettings settings = ItemPictureMaker::standardSettings(
        item ? item->unit() : Unit::Micrometre, item ? item->limits() : ItemLimits());
    // As the views show them now, in their sizes once they have been laid out.
    settings.chart = m_view->chartSettings();
    settings.histogram = m_view->histogramSettings();
    if (!m_view->chartSize().isEmpty())
        settings.chartSize = m_view->chartSize();
    if (!m_view->histogramSize().isEmpty())
        settings.histogramSize = m_view->histogramSize();
    return settings;
}

void ExchangeController::exportPicture(Picture which, const QString &caption)
{
    const QString name =
        askSaveFileName(m_dialogParent, caption, QStringLiteral("."), QStringLiteral("JPG File(*.jpg)"));
    if (name.isEmpty())
        return;
    // Painted on the worker from the readings as they are now, after the
    // dialog: those that came in meanwhile join their item first.
    m_store->flush();
    const ItemData *item = m_view->item();
    const ReadingSeries readings = item ? item->readings() : ReadingSeries();
    const int rows = item ? std::min(m_store->shownCount(m_view->item()), readings.size()) : 0;
    const Unit unit = item ? item->unit() : Unit::Micrometre;
    const ItemPictureSettings settings = pictureSettings();
    writeOff(item, [name, which, readings, rows, unit, settings](JobProgress &progress) {
        progress.beginStep(tr("Writing the picture…"), 0);
        const ItemPictures pictures = ItemPictureMaker::paint(settings, readings, rows, unit);
        Written written;
        if (progress.isCancelled())
            return written;
        written.ok = savePicture(which == Picture::Chart ? pictures.chart : pictures.histogram, name, &written.error);
        return written;
    }, false);
}

void ExchangeController::exportReport(const QString &sceneFileName)
{
    const QString name = askSaveFileName(m_dialogParent, tr("Export the datas to a pdf file."), QString(),
                                         QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    // The views' pictures are painted on the worker as they show now, with
    // the readings that came in during the dialog.
    m_store->flush();
    const ItemPictureSettings pictureSettings = this->pictureSettings();
    const ItemData *item = m_view->item();
    // The item as it is now, read on the worker; the table's rows as shown.
    std::shared_ptr<ItemData> copy(item ? item->snapshot().release() : nullptr);
    const int rows = item ? m_store->shownCount(m_view->item()) : 0;
    const QDate today = QDate::currentDate();
    writeOff(item, [name, sceneFileName, pictureSettings, copy, rows, today](JobProgress &progress) {
        Written written;
        written.ok = ExportJobs::writeReport(name, copy.get(), rows, sceneFileName, pictureSettings, today,
                                             &written.error, progress);
        return written;
    });
}

void ExchangeController::exportSummary()
{
    const QString name = askSaveFileName(m_dialogParent, tr("Export the summary of all items to a pdf file."),
                                         QString(), QStringLiteral("PDF file(*.pdf)"));
    if (name.isEmpty())
        return;
    // The team's items too, after this installation's. A pull while their
    // readings load may take one away (it is left out) or read one anew.
    QList<QPointer<ItemData>> items;
    for (ItemData *item : QList<ItemData *>{m_store->storeItem()} + m_store->items() + m_store->teamItems())
        items << item;
    JobProgress *progress = m_work->begin();
    if (!progress)
        return;
    progress->beginStep(tr("Loading readings…"), items.size());
    // Every item's readings in memory first; the summary is made from
    // copies of the items as they are then.
    auto summarize = [this, name, items, progress] {
        if (progress->isCancelled()) {
            m_work->end();
            return;
        }
        std::vector<std::shared_ptr<ItemData>> copies;
        for (ItemData *item : items) {
            if (item)
                copies.emplace_back(item->snapshot().release());
        }
        m_work->run<Written>(
            [name, copies](JobProgress &progress) {
                QList<const ItemData *> all;
                for (const std::shared_ptr<ItemData> &copy : copies)
                    all << copy.get();
                Written written;
                written.ok = ExportJobs::writeSummary(name, all, &written.error, progress);
                return written;
            },
            [this](const Written &written) {
                m_work->end();
                if (written.ok)
                    showSuccess();
                else
                    showFailure(written.error);
            });
    };
    auto waiting = std::make_shared<QMetaObject::Connection>();
    auto pulled = std::make_shared<QMetaObject::Connection>();
    auto loaded = [this, items, progress] {
        int count = 0;
        for (ItemData *item : items) {
            if (item)
                m_store->loadReadingsOf(item);
            count += !item || m_store->isLoaded(item);
        }
        progress->setDone(count);
        return count == items.size() || progress->isCancelled();
    };
    if (loaded()) {
        summarize();
        return;
    }
    auto stop = std::make_shared<QMetaObject::Connection>();
    auto go = [waiting, pulled, stop, summarize] {
        QObject::disconnect(*waiting);
        QObject::disconnect(*pulled);
        QObject::disconnect(*stop);
        summarize();
    };
    auto check = [loaded, go] {
        if (loaded())
            go();
    };
    *waiting = connect(m_store, &ItemStore::readingsLoaded, this, check);
    *pulled = connect(m_store, &ItemStore::teamItemsChanged, this, check);
    *stop = connect(m_work, &LongWork::cancelRequested, this, go);
}

void ExchangeController::importReadings()
{
    if (isBusy())
        return;
    const QString name = QFileDialog::getOpenFileName(m_dialogParent, tr("Import the datas from a excel file."),
                                                      QString(), TableFile::importFilters());
    if (name.isEmpty())
        return;
    JobProgress *progress = m_work->begin();
    if (!progress)
        return;
    const QString itemName = m_store->nextImportName();
    m_work->run<ImportOutcome>(
        [name](JobProgress &progress) { return importReadingsFile(name, progress); },
        [this, itemName, progress](const ImportOutcome &outcome) {
            if (outcome.cancelled) {
                m_work->end();
                return;
            }
            if (!outcome.refusal.isEmpty()) {
                m_work->end();
                QMessageBox::information(m_dialogParent, QString(),
                                         tr("The datas is imported failed.") + QLatin1Char('\n') + outcome.refusal,
                                         QMessageBox::Ok);
                return;
            }
            // The item, its readings, its unit (that of its last reading) and
            // its statistics are kept as one, before it is added.
            progress->beginStep(tr("Keeping readings…"), outcome.readings.size());
            const ReadingSeries &readings = outcome.readings;
            const Unit unit = readings.unit(readings.size() - 1);
            const bool complete = outcome.complete;
            const QString counts = outcome.report.isEmpty() ? QString() : QLatin1Char('\n') + outcome.report;
            m_store->keepNewItem(itemName, ItemData::Import, unit, readings, m_work->progress(),
                                 [this, complete, counts](ItemData *item) {
                                     m_work->end();
                                     if (!item)
                                         return;
                                     m_items->showNewItem(item);
                                     QMessageBox::information(m_dialogParent, QString(),
                                                              (complete ? tr("The datas is imported successfully.")
                                                                        : tr("The datas is imported failed."))
                                                                  + counts,
                                                              QMessageBox::Ok);
                                 });
        });
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
