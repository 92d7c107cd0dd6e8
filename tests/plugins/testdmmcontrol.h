#pragma once

#include <QList>
#include <QString>
#include <QtPlugin>

class DmmData;

// Lets a test drive the test device plug-in: emit any of its signals on
// demand and count the calls the window makes into it.
class TestDmmControl
{
public:
    virtual ~TestDmmControl() = default;

    virtual void reset() = 0;
    virtual void setPortPresent(bool present) = 0;
    virtual void setOpenResult(bool result) = 0;
    virtual void setLinkOpen(bool open) = 0;
    // readStore() reports this progress before it returns (none when total is 0).
    virtual void setProgressInReadStore(int total, int position) = 0;

    virtual void emitOpened() = 0;
    virtual void emitClosed() = 0;
    virtual void emitMessage(const QString &text) = 0;
    virtual void emitDisplay(DmmData *data) = 0;
    virtual void emitDisplayStore(DmmData *data) = 0;
    virtual void emitDisplayStoreData(const QList<DmmData *> &datas) = 0;
    virtual void emitStoreGroupUpdate(int total, int position) = 0;
    virtual void emitUsbRefreshed() = 0;

    virtual int openCalls() const = 0;
    virtual int closeCalls() const = 0;
    virtual int readStoreCalls() const = 0;
    virtual int findPortCalls() const = 0;
};

#define TestDmmControl_iid "com.qz.test.TestDmmControl"
Q_DECLARE_INTERFACE(TestDmmControl, TestDmmControl_iid)
