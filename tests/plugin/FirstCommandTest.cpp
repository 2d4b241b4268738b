// The class identity of the host's commands is captured once per loaded
// library, so these checks run in a program of their own, before any other
// command has reached the library.

#include "PluginFixture.h"

#include <QApplication>

#include <cstring>

namespace {
const char FirstTag = 0;
const char SecondTag = 0;

QWidget* findPanel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("VovaduVuvar"))
            return w;
    return nullptr;
}
} // namespace

TEST_F(PluginFixture, KeysWaitForTheFirstSettingsCommandWhoseIdentityIsKept)
{
    instantiate();
    factory->registerService(&service);
    im->activate(ZKbOwner(), QPoint());
    panel = findPanel();
    ASSERT_FALSE(panel.isNull());
    panel->show();

    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    LoadedPlugin::tap(panel, 5);
    EXPECT_TRUE(service.commands.empty()) << "no command class known yet: nothing is sent";
    EXPECT_FALSE(im->settingCmd(nullptr));
    LoadedPlugin::tap(panel, KeyBackspace);
    EXPECT_TRUE(service.commands.empty()) << "a null command captures nothing";

    ZCmd<ZKB_MGRCMD_T> reset{&FirstTag, ZKB_MGRCMD_RESET};
    EXPECT_TRUE(im->settingCmd(&reset));
    ZKbCmdGetWidget request{&SecondTag, ZKB_MGRCMD_GET_WIDGET, 0, nullptr};
    EXPECT_TRUE(im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&request)));
    EXPECT_EQ(request.widget, panel.data());

    LoadedPlugin::tap(panel, KeyBackspace);
    ASSERT_EQ(service.commands.size(), 1u);
    const void* tag;
    std::memcpy(&tag, service.commands[0].data(), sizeof tag);
    EXPECT_EQ(tag, &FirstTag) << "later commands do not change the captured identity";
}
