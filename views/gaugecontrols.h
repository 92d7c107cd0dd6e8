#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QProgressDialog;
class QWidget;
class GaugeLink;
class ItemData;
class ItemStore;

// The form's commands of the gauge.
struct GaugeActions
{
    QAction *connect = nullptr;
    QAction *disconnect = nullptr;
    QAction *start = nullptr;
    QAction *stop = nullptr;
};

// The gauge's commands as the user sees them: Connect, Disconnect, Start
// and Stop, enabled as the link and the active item allow, and the
// progress of a download in a dialog.
class GaugeControls : public QObject
{
    Q_OBJECT

public:
    // Everything given outlives the controls; the dialogs open over dialogParent.
    GaugeControls(GaugeLink *link, ItemStore *store, const GaugeActions &actions, QWidget *dialogParent,
                  QObject *parent = nullptr);

    // A gauge that cannot be opened is said so.
    void connectGauge();
    void startMeasuring();
    void stopMeasuring();

private:
    void onOpened();
    void onClosed();
    void onActiveItemChanged(ItemData *item);
    void onDownloadStarted();
    void onDownloadProgress(int total, int position);
    void onDownloadRefused();
    void onDownloadCanceled();
    // "Store Data" or a team item is active: nothing is measured into it.
    bool measuringRefused() const;

    GaugeLink *m_link;
    ItemStore *m_store;
    GaugeActions m_actions;
    QWidget *m_dialogParent;
    QPointer<QProgressDialog> m_progress;
    bool m_downloadCanceled = false;
};
