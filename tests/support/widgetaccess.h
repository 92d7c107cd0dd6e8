#pragma once

#include "app/widget.h"
#include "device/gaugelink.h"

// Reads and sets the window's private state for tests.
class WidgetTestAccess
{
public:
    static bool measuring(Widget &w) { return w.gaugeLink->isMeasuring(); }
    static QString &language(Widget &w) { return w.language; }
    static QString &sceneFileName(Widget &w) { return w.sceneFileName; }
    static ItemData *&currentItem(Widget &w) { return w.currentItem; }
    static IDmm *dmm(Widget &w) { return w.gaugeLink->dmm(); }
    static QString nextImportName(Widget &w) { return w.nextImportName(); }
    static void refreshActiveItem(Widget &w) { w.refreshActiveItem(); }
};
