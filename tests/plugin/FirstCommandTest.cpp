// The class identity of the host's commands is captured once per loaded
// library, so this runs in a program of its own, before any other command.

#include "PluginFixture.h"

#include <QApplication>

#include <cstring>

TEST_F(PluginFixture, KeysWaitForTheFirstCommandWhoseIdentityIsKept)
{
    take();
    factory->registerService(&service);
    im->activate(ZKbOwner(), QPoint());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("VovaduVuvar"))
            panel = w;
    ASSERT_FALSE(panel.isNull());
    panel->show();

    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});
    EXPECT_FALSE(im->settingCmd(nullptr));
    tap({KeyBackspace});
    EXPECT_TRUE(service.commands.empty()) << "no command class known yet: nothing is sent";

    const char first = 0, second = 0;
    ZCmd<ZKB_MGRCMD_T> reset{&first, ZKB_MGRCMD_RESET};
    EXPECT_TRUE(im->settingCmd(&reset));
    ZCmd<ZKB_MGRCMD_T> again{&second, ZKB_MGRCMD_RESET};
    EXPECT_TRUE(im->settingCmd(&again));
    tap({KeyBackspace});
    ASSERT_EQ(service.commands.size(), 1u);
    const void* tag;
    std::memcpy(&tag, service.commands[0].data(), sizeof tag);
    EXPECT_EQ(tag, &first);
}
