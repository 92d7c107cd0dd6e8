#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// The four settings of options.xml, in the order they are written.
struct SettingsValues
{
    QByteArray geometry;
    QByteArray state;
    QString sceneFileName;
    QString language;
};

// Walks the settings document token by token until its end or the first
// XML error. Every element other than "options" becomes the current name,
// however deeply nested. Each text that is not whitespace-only, met while a
// name is current, goes to onText(name, text); the name stays current only
// when onText returns true.
void walkSettings(QIODevice *device,
                  const std::function<bool(const QString &name, const QString &text)> &onText);

// Writes the document: declaration, root "options" and its four children
// in fixed order, indented by four spaces, binary values as lower-case hex.
void writeSettings(QIODevice *device, const SettingsValues &values);
