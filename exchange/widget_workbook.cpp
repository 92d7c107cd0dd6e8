#include "app/widget.h"
#include "ui_widget.h"

#include "data/datamodel.h"
#include "data/dmmdata.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/tvitemmodel.h"
#include "exchange/readingsimport.h"
#include "exchange/readingsworkbook.h"
#include "exchange/savedialog.h"
#include "exchange/savedfile.h"
#include "exchange/tablefile.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSet>

void Widget::exportExcel()
{
    QString filter;
    const QString chosen = askSaveFileName(this, tr("Export the datas to a excel file."), QString(),
                                           TableFile::exportFilters(), &filter);
    const TableFile::Format format = TableFile::exportFormat(chosen, filter);
    const QString name = withDefaultSuffix(chosen, TableFile::suffix(format));
    if (name.isEmpty())
        return;

    // A classic worksheet ends at row 65,536: refuse rather than cut.
    const int rows = dataModel->rowCount();
    if (format == TableFile::Format::Xls && rows > ReadingsWorkbook::MaxReadings) {
        showExportFailure(tr("A workbook holds at most %1 readings; this table has %2.")
                              .arg(ReadingsWorkbook::MaxReadings)
                              .arg(rows));
        return;
    }
    QString error;
    if (!TableFile::write(name, format, *dataModel, &error)) {
        showExportFailure(error);
        return;
    }
    QMessageBox::information(this, QString(), tr("The datas is exported successfully."), QMessageBox::Ok);
}

QString Widget::nextImportName() const
{
    // Counting up from the number of "Import…" names, to one not in use:
    // a renamed or otherwise named item must not make a duplicate.
    QSet<QString> names;
    for (const QModelIndex &node : itemNodes()) {
        if (ItemData *item = TvItemModel::itemAt(node))
            names.insert(item->name());
    }
    int number = countItemsNamedWith(QStringLiteral("Import")) + 1;
    while (names.contains(QStringLiteral("Import%1").arg(number)))
        ++number;
    return QStringLiteral("Import%1").arg(number);
}

void Widget::importExcel()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Import the datas from a excel file."), QString(),
                                                      TableFile::importFilters());
    if (name.isEmpty())
        return;

    ui->tvItems->setEnabled(false);
    TableFile::Rows rows;
    QString error;
    if (!TableFile::read(name, &rows, &error)) {
        // Not a workbook we can read: no item is made.
        ui->tvItems->setEnabled(true);
        QMessageBox::information(this, QString(), tr("The datas is imported failed.") + QLatin1Char('\n') + error,
                                 QMessageBox::Ok);
        return;
    }

    // Rows the program cannot read are refused and counted; a file without
    // readings makes no item.
    ReadingsImport import(rows);
    const bool complete = import.rejected() == 0;
    const QString counts = complete && import.skipped() == 0 ? QString() : QLatin1Char('\n') + import.report();
    if (import.imported() == 0) {
        ui->tvItems->setEnabled(true);
        QMessageBox::information(this, QString(), tr("The datas is imported failed.") + QLatin1Char('\n') + import.report(),
                                 QMessageBox::Ok);
        return;
    }
    // The item, its readings, its unit and its statistics are kept as one.
    itemStore->beginChanges();
    newItem(nextImportName(), ItemData::Import);
    itemStore->append(currentItem, import.takeReadings(), false);
    ui->tvItems->setEnabled(true);

    if (currentItem->count() > 0)
        itemStore->setUnit(currentItem, currentItem->datas().constLast()->unit());
    itemStore->calcStatistics(currentItem);
    itemStore->endChanges();
    refreshActiveItem();

    QMessageBox::information(this, QString(),
                             (complete ? tr("The datas is imported successfully.") : tr("The datas is imported failed."))
                                     + counts,
                             QMessageBox::Ok);
}
