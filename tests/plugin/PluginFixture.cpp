#include "PluginFixture.h"

void PluginFixture::SetUp()
{
    settings.pointAt(pack.dir());
}

void PluginFixture::TearDown()
{
    if (!unknown)
        return;
    im->hide();
    library->cleanup();
    EXPECT_EQ(unknown->release(), 0u);
    EXPECT_TRUE(panel.isNull()) << "the component's release destroys its widget";
}

void PluginFixture::instantiate()
{
    unknown = LoadedPlugin::instantiate();
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
    instantiate();
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
    ZKbCmdGetWidget cmd{LoadedPlugin::hostTag(), ZKB_MGRCMD_GET_WIDGET, 0, nullptr};
    if (!im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd)))
        return nullptr;
    return cmd.widget;
}

bool PluginFixture::sendSetting(uint32_t code)
{
    ZCmd<ZKB_MGRCMD_T> cmd{LoadedPlugin::hostTag(), ZKB_MGRCMD_T(code)};
    return im->settingCmd(&cmd);
}

void PluginFixture::tapStrokes(std::initializer_list<int> keys)
{
    for (int key : keys)
        LoadedPlugin::tap(panel, key);
}

QStringList defaultCells()
{
    const QString words = QStringLiteral("；“”、…：，。？！");
    QStringList cells;
    for (QChar c : words)
        cells << QString(c);
    return cells;
}
