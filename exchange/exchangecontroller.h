#pragma once

#include "exchange/itempictures.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QWidget;
class ActiveItemView;
class ItemData;
class ItemStore;
class ItemsController;
class JobProgress;
class LongWork;

// Readings in and out of the program: the Export dialog and what it
// chooses (workbook or CSV, pictures, the item's report, the summary of all
// items), and Import, which makes a new item from a file. Failures are
// shown; nothing is reported as done that was not.
//
// Files are read and written off the window's thread, from a snapshot of
// the items taken when the work starts, one piece of work at a time, with
// progress and Cancel (LongWork). A cancelled export leaves no file and a
// file of that name as it was; a cancelled import leaves no item.
class ExchangeController : public QObject
{
    Q_OBJECT

public:
    // Everything given outlives the controller; the dialogs open over dialogParent.
    ExchangeController(ItemStore *store, ItemsController *items, ActiveItemView *view, QWidget *dialogParent,
                       QObject *parent = nullptr);
    ~ExchangeController() override;

    // The scene picture the last report was made with.
    QString sceneFileName() const { return m_sceneFileName; }
    void setSceneFileName(const QString &name) { m_sceneFileName = name; }

    // Asks what to export, then exports it.
    void exportChosen();
    void exportReadings();
    enum class Picture { Histogram, Chart };
    void exportPicture(Picture which, const QString &caption);
    // The views' settings and sizes, for pictures painted off the window.
    ItemPictureSettings pictureSettings() const;
    void exportReport(const QString &sceneFileName);
    // The summary of every item that has readings.
    void exportSummary();
    void importReadings();

    // Whether long work runs, and whether it reads the item.
    bool isBusy() const;
    bool isBusyWith(const ItemData *item) const { return m_busyItems.contains(item); }
    // Stops what runs and waits for it (a moment).
    void cancelAndWait();

signals:
    void busyChanged(bool busy);

private:
    // What a piece of work says at its end: a failure's reason, or nothing.
    struct Written
    {
        bool ok = false;
        QString error;
    };
    // Runs write on a worker; the item is busy meanwhile; then the failure
    // is shown (and the success, when told), nothing when it was cancelled.
    void writeOff(const ItemData *item, std::function<Written(JobProgress &)> write, bool sayDone = true);
    void showFailure(const QString &reason);
    void showSuccess();

    ItemStore *m_store;
    ItemsController *m_items;
    ActiveItemView *m_view;
    QWidget *m_dialogParent;
    QString m_sceneFileName;
    LongWork *m_work;
    QSet<const ItemData *> m_busyItems;
};
