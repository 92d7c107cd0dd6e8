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

} // namespace

bool scanDevicePlugins(const QString &appDir, DevicePlugins &plugins)
{
    QDir dir(appDir);
    if (!dir.cd(QStringLiteral("Lib")))
        dir = QDir(appDir);

    const QString suffix = pluginSuffix();
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo &entry : entries) {
        if (!entry.isFile() || entry.suffix().toLower() != suffix)
            continue;
        // The loader is dropped without unload(): the library stays loaded.
        QPluginLoader loader(entry.absoluteFilePath());
        QObject *instance = loader.instance();
        if (!instance)
            continue;
        bind(instance, SerialDeviceInf_iid, plugins.serialDevice);
        bind(instance, SerialRS232VirInf_iid, plugins.serialVirtual);
        bind(instance, IDmm_iid, plugins.dmm);
        bind(instance, IMyDmm_iid, plugins.myDmm);
        bind(instance, SimulatedPortInf_iid, plugins.simulatedPort);
    }
    return plugins.complete();
}
