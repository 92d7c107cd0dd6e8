#pragma once

#include "plugins/serialline/serialgaugesettings.h"

#include <QString>

class QSerialPort;

// The device path of the gauge's port: the configured one, else the first
// port with the configured USB vendor and product. Empty when there is none.
QString gaugePortPath(const SerialGaugeSettings &settings);

// Whether that port is there now.
bool gaugePortPresent(const SerialGaugeSettings &settings);

// Opens port on path with the line settings. On failure returns false and
// says why in words that tell the user what to do.
bool openGaugePort(QSerialPort &port, const QString &path, const SerialGaugeSettings &settings,
                   QString *failure);
