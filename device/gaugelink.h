#pragma once

#include "device/storedownload.h"
#include "device/pluginscan.h"

#include <QList>
#include <QObject>
#include <QString>

class DmmData;
class IDmm;
class ItemData;
class ItemStore;

// The link to the gauge through its plug-ins: connecting, measuring, the
// readings that arrive and the download of the gauge's memory. Live
// readings go to the active Measure item while measuring; a download
// takes the place of "Store Data" only once it has arrived in full. Whoever
// shows the link follows its signals.
class GaugeLink : public QObject
{
    Q_OBJECT

public:
    // The plug-ins and the store outlive the link.
    GaugeLink(const DevicePlugins &plugins, ItemStore *store, QObject *parent = nullptr);

    IDmm *dmm() const { return m_plugins.dmm; }
    // A gauge is plugged in (or simulated).
    bool isPortPresent() const;
    bool isOpen() const;
    bool isMeasuring() const { return m_measuring; }
    // Open, with a plug-in that reads the gauge's memory.
    bool canDownload() const;

    // False when the gauge could not be opened; otherwise opened() follows
    // from the plug-in.
    bool open();
    void close();
    // Refused (false) while "Store Data" or a team item is active.
    bool start();
    void stop();

    // Asks the gauge for its memory; downloadStarted() goes out first, as
    // the gauge may report progress before it answers.
    void startDownload();
    // The user gave up waiting for the download.
    void cancelDownload();

signals:
    void opened();
    // The link is gone; measuring has stopped.
    void closed();
    // The ports were looked at again: isPortPresent() may have changed.
    void portsRefreshed();
    void message(const QString &text);
    void downloadStarted();
    void downloadProgress(int total, int position);
    // The gauge refused to send its memory: nothing will arrive.
    void downloadRefused();
    // A download arrived in full and took the place of the one before.
    void downloadFinished();

private slots:
    // Connected by signature: the plug-in's signals are known only so.
    void onOpened();
    void onClosed();
    void onUsbRefreshed();
    void onMessage(QString text);
    void onDisplay(DmmData *data);
    void onDisplayStore(DmmData *data);
    void onDisplayStoreData(QList<DmmData *> datas);
    void onStoreGroupUpdate(int total, int position);

private:
    // The item that takes stored readings outside a download, or none.
    ItemData *storeTarget() const;
    void finishDownload();

    DevicePlugins m_plugins;
    ItemStore *m_store;
    StoreDownload m_download;
    bool m_measuring = false;
};
