#include "manual/windowdriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPixmap>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace WindowDriver {

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        wait(50);
    }
    return true;
}

namespace {

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    wait(50);
}

} // namespace

void hover(QWidget *target, const QPoint &pos)
{
    sendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

void drag(QWidget *target, const QPoint &from, const QPoint &to)
{
    sendMouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

bool savePng(const QPixmap &picture, const QString &fileName)
{
    QSaveFile file(fileName);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "manual_screenshots: cannot write %s\n", qPrintable(fileName));
        return false;
    }
    return true;
}

} // namespace WindowDriver
