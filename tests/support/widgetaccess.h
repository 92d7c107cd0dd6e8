#pragma once

#include "app/widget.h"
#include "data/itemstore.h"
#include "views/activeitemview.h"
#include "views/itemscontroller.h"
#include "device/gaugelink.h"
#include "views/exchangecontroller.h"

#include <QCoreApplication>
#include <QElapsedTimer>

// Reads and sets the state of the window and its controllers for tests.
class WidgetTestAccess
{
public:
    static bool measuring(Widget &w) { return w.gaugeLink->isMeasuring(); }
    static QString &language(Widget &w) { return w.language; }
    static QString sceneFileName(Widget &w) { return w.exchange->sceneFileName(); }
    static void setSceneFileName(Widget &w, const QString &name) { w.exchange->setSceneFileName(name); }
    static ItemData *currentItem(Widget &w) { return w.activeView->item(); }
    static IDmm *dmm(Widget &w) { return w.gaugeLink->dmm(); }
    static QString nextImportName(Widget &w) { return w.itemStore->nextImportName(); }
    static ItemsController *items(Widget &w) { return w.items; }
    static ItemStore *store(Widget &w) { return w.itemStore; }
    static ExchangeController *exchange(Widget &w) { return w.exchange; }
    // Imports and exports run off the window's thread: turns the event loop
    // until what runs has ended (its last message answered).
    static void finishWork(Widget &w)
    {
        QElapsedTimer waited;
        waited.start();
        while (w.exchange->isBusy() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};
