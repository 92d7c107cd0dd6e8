#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class QPixmap;
class QWidget;

// Small steps of driving a live window the way a user would: waiting while
// events are processed, moving and dragging the mouse, saving a picture.
namespace WindowDriver {

// Processes events for about `ms` milliseconds.
void wait(int ms);

// Processes events until `done` holds or `timeoutMs` has passed; returns
// whether it held.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// A mouse move without a pressed button (hover) at `pos` in `target`.
void hover(QWidget *target, const QPoint &pos);

// A left-button drag from `from` to `to` in `target`, with one move between.
void drag(QWidget *target, const QPoint &from, const QPoint &to);

// Writes `picture` as a PNG file; false, with a reason on stderr, on failure.
bool savePng(const QPixmap &picture, const QString &fileName);

} // namespace WindowDriver
