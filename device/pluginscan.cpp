#include "device/pluginscan.h"

#include "device/deviceinterfaces.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

QString pluginSuffix()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("dylib");
#else
    return QStringLiteral("so");
#endif
}

namespace {

template <typename Interface>
void bind(QObject *instance, const char *iid, Interface *&slot)
{
    if (auto *answer = static_cast<Interface *>(instance->qt_metacast(iid)))
        slot = answer;
}

void bindAll(QObject *instance, DevicePlugins &plugins)
{
    bind(instance, SerialDeviceInf_iid, plugins.serialDevice);
    bind(instance, IDmm_iid, plugins.dmm);
    bind(instance, IMyDmm_iid, plugins.myDmm);
    // The simulated port speaks for the port interface of its own
    // instance only: a later plug-in that brings the real one drops it.
    if (auto *port = static_cast<SerialRS232VirInf *>(instance->qt_metacast(SerialRS232VirInf_iid))) {
        plugins.serialVirtual = port;
        plugins.simulatedPort = static_cast<SimulatedPortInf *>(instance->qt_metacast(SimulatedPortInf_iid));
    }
}

} // namespace

bool scanDevicePlugins(const QString &appDir, DevicePlugins &plugins)
{
    QDir dir(appDir);
    if (!dir.cd(QStringLiteral("Lib")))
        dir = QDir(appDir);

    const QString suffix = pluginSuffix();
    const QFileInfoList entries = dir.entryInfoList();
    QObject *chosen = nullptr;
    for (const QFileInfo &entry : entries) {
        if (!entry.isFile() || entry.suffix().toLower() != suffix)
            continue;
        // The loader is dropped without unload(): the library stays loaded.
        QPluginLoader loader(entry.absoluteFilePath());
        QObject *instance = loader.instance();
        if (!instance)
            continue;
        // A plug-in the user may choose binds only when chosen, and then
        // over every other, whatever its place in the folder.
        if (auto *choice = static_cast<GaugeChoiceInf *>(instance->qt_metacast(GaugeChoiceInf_iid))) {
            plugins.gaugeChoice = choice;
            if (choice->chosen())
                chosen = instance;
            continue;
        }
        bindAll(instance, plugins);
    }
    if (chosen)
        bindAll(chosen, plugins);
    return plugins.complete();
}

bool gaugePortPresent(const DevicePlugins &plugins)
{
    if (plugins.serialVirtual && !plugins.serialVirtual->findPort(GaugeVendorId, GaugeProductId).isNull())
        return true;
    return plugins.simulatedPort && plugins.simulatedPort->hasPort(GaugeVendorId, GaugeProductId);
}
