#include "LoadedPlugin.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstring>
#include <dlfcn.h>

namespace {
const char HostTag = 0;
}

void* LoadedPlugin::handle()
{
    static void* library = dlopen(DIRORU_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        ADD_FAILURE() << "dlopen " << DIRORU_PLUGIN_PATH << ": " << dlerror();
    return library;
}

QUnknownInterface* LoadedPlugin::instantiate()
{
    void* library = handle();
    if (!library)
        return nullptr;
    auto fn = reinterpret_cast<UcmInstantiateFn>(dlsym(library, UCM_INSTANTIATE_SYMBOL));
    if (!fn) {
        ADD_FAILURE() << "no ucm_instantiate";
        return nullptr;
    }
    return fn();
}

void* LoadedPlugin::symbol(const char* name)
{
    void* library = handle();
    return library ? dlsym(library, name) : nullptr;
}

QString LoadedPlugin::appPath()
{
    auto* path = static_cast<QString*>(symbol("AppPath"));
    return path ? *path : QStringLiteral("<AppPath not exported>");
}

void LoadedPlugin::tap(QWidget* panel, int key)
{
    const QPointF local(3 + 47 * (key % 5) + 23, 3 + 35 * (key / 5) + 17);
    const QPointF global = panel->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &release);
}

QVariantMap LoadedPlugin::state(QWidget* panel)
{
    QVariantMap result;
    QMetaObject::invokeMethod(panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, result));
    return result;
}

QStringList LoadedPlugin::cells(QWidget* panel)
{
    return state(panel).value(QStringLiteral("cells")).toStringList();
}

const void* LoadedPlugin::hostTag()
{
    return &HostTag;
}

int RecordingService::executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd)
{
    std::array<uint8_t, 32> bytes;
    std::memcpy(bytes.data(), cmd, bytes.size());
    commands.push_back(bytes);
    return 1;
}

QString RecordingService::typed() const
{
    QString text;
    for (const auto& bytes : commands) {
        uint32_t unicode;
        std::memcpy(&unicode, bytes.data() + 12, 4);
        text += QChar(char16_t(unicode));
    }
    return text;
}
