#include "app/widget.h"

#include "device/deviceinterfaces.h"
#include "device/pluginscan.h"

#include <QCoreApplication>

bool Widget::loadPlugins()
{
    DevicePlugins plugins;
    const bool complete = scanDevicePlugins(QCoreApplication::applicationDirPath(), plugins);
    dmm = plugins.dmm;
    myDmm = plugins.myDmm;
    serialDevice = plugins.serialDevice;
    serialVirtual = plugins.serialVirtual;
    simulatedPort = plugins.simulatedPort;
    gaugeChoice = plugins.gaugeChoice;
    return complete;
}

bool Widget::gaugePortPresent()
{
    if (serialVirtual && !serialVirtual->findPort(GaugeVendorId, GaugeProductId).isNull())
        return true;
    return simulatedPort && simulatedPort->hasPort(GaugeVendorId, GaugeProductId);
}

bool Widget::dmmIsOpen()
{
    return dmm && dmm->isOpen();
}
