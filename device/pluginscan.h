#pragma once

#include <QString>

class IDmm;
class IMyDmm;
class SerialDeviceInf;
class SerialRS232VirInf;
class SimulatedPortInf;
class GaugeChoiceInf;

// The interfaces bound from the device plug-ins. The plug-in instances stay
// loaded for the life of the process; nobody deletes them.
struct DevicePlugins
{
    SerialDeviceInf *serialDevice = nullptr;
    SerialRS232VirInf *serialVirtual = nullptr;
    IDmm *dmm = nullptr;
    IMyDmm *myDmm = nullptr;
    // Optional, and only from the instance that supplies serialVirtual.
    SimulatedPortInf *simulatedPort = nullptr;
    // A plug-in the user may choose in the Options, chosen or not.
    GaugeChoiceInf *gaugeChoice = nullptr;

    bool complete() const { return serialDevice && serialVirtual && dmm && myDmm; }
};

// The file suffix of a plug-in library on this platform ("dll", "so", "dylib").
QString pluginSuffix();

// Scans <appDir>/Lib, or appDir itself when it has no Lib folder, in name
// order, and binds every interface a plug-in answers to; a later plug-in
// overrides an earlier one; a plug-in that answers to GaugeChoiceInf binds
// only when chosen, and then over all others. Returns plugins.complete().
bool scanDevicePlugins(const QString &appDir, DevicePlugins &plugins);

// A gauge is plugged in, or the simulated port offers one.
bool gaugePortPresent(const DevicePlugins &plugins);
