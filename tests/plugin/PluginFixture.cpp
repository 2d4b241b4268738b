#include "PluginFixture.h"

#include <cstring>
#include <dlfcn.h>

namespace {
const char HostTag = 0;
}

void* PluginFixture::symbol(const char* name)
{
    static void* handle = dlopen(DIRORU_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        ADD_FAILURE() << "dlopen " << DIRORU_PLUGIN_PATH << ": " << dlerror();
        return nullptr;
    }
    return dlsym(handle, name);
}

QUnknownInterface* PluginFixture::instantiate()
{
    auto fn = reinterpret_cast<UcmInstantiateFn>(symbol(UCM_INSTANTIATE_SYMBOL));
    return fn ? fn() : nullptr;
}

const void* PluginFixture::hostTag()
{
    return &HostTag;
}

int PluginFixture::Service::executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd)
{
    commands.emplace_back();
    std::memcpy(commands.back().data(), cmd, 32);
    return 1;
}

QString PluginFixture::Service::typed() const
{
    QString text;
    for (const auto& bytes : commands)
        text += QChar(char16_t(bytes[12] | bytes[13] << 8));
    return text;
}

void PluginFixture::TearDown()
{
    if (!unknown)
        return;
    im->hide();
    library->cleanup();
    EXPECT_EQ(unknown->release(), 0u);
    EXPECT_TRUE(panel.isNull()) << "releasing the component destroys its widget";
}

void PluginFixture::take()
{
    unknown = instantiate();
    ASSERT_NE(unknown, nullptr);
    QUnknownInterface* iface = nullptr;
    ASSERT_EQ(unknown->queryInterface(IID_ZInputMethodInterface, &iface), QRS_SUCCESS);
    im = static_cast<ZInputMethodInterface*>(iface);
    ASSERT_EQ(unknown->queryInterface(IID_ZInputMethodFactory, &iface), QRS_SUCCESS);
    factory = static_cast<ZInputMethodFactory*>(iface);
    ASSERT_EQ(unknown->queryInterface(IID_QLibrary, &iface), QRS_SUCCESS);
    library = static_cast<QLibraryInterface*>(iface);
    unknown->addRef();
}

QWidget* PluginFixture::start()
{
    take();
    if (!unknown)
        return nullptr;
    factory->registerService(&service);
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    panel = requestWidget();
    if (panel)
        panel->show();
    return panel;
}

QWidget* PluginFixture::requestWidget()
{
    ZKbCmdGetWidget cmd{hostTag(), ZKB_MGRCMD_GET_WIDGET, 0, nullptr};
    return im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd)) ? cmd.widget : nullptr;
}

bool PluginFixture::sendSetting(uint32_t code, uint32_t argument)
{
    // 24 bytes: room for the payload of any command the component reads.
    ZKbCmdGetWidget cmd{hostTag(), ZKB_MGRCMD_T(code), argument, nullptr};
    return im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
}
