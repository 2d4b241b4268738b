// The plug-in library driven as a manager drives it: loaded with dlopen and
// linked with nothing of the test, so its globals exist once, inside it;
// reached only through ucm_instantiate and the interfaces, typed on through
// pointer events.

#include "ImHostAbi.h"
#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <cstring>
#include <dlfcn.h>

namespace {

const char HostTag = 0; // the class identity of this host's commands

void* symbol(const char* name)
{
    static void* handle = dlopen(DIRORU_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        ADD_FAILURE() << "dlopen " << DIRORU_PLUGIN_PATH << ": " << dlerror();
    return handle ? dlsym(handle, name) : nullptr;
}

// The panel, found without a command: the widget of that name.
QWidget* findPanel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("VovaduVuvar"))
            return w;
    return nullptr;
}

// A keyboard service checking every key command against the host's layout.
struct Service : ZKbServiceInterface {
    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override
    {
        ZKbCmdSendKeyEvent key;
        std::memcpy(&key, cmd, sizeof key);
        EXPECT_EQ(key.classIdentity, &HostTag);
        EXPECT_EQ(key.code, ZKB_MGRCMD_SEND_KEY);
        EXPECT_EQ(key.keyCode, key.unicode == 8 ? ZKB_KEY_BACKSPACE : 0);
        EXPECT_EQ(key.reserved, 0u);
        EXPECT_EQ(key.flag | key.unset[0] | key.unset[1] | key.unset[2], 0) << "padding cleared, no stack contents";
        EXPECT_EQ(key.value, ZKB_SEND_KEY_VALUE);
        typed += QChar(char16_t(key.unicode)); // backspace as '\b'
        return 1;
    }
    QString typed;
};

// One component per test; the library stays loaded for the whole program.
class PluginFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (!unknown)
            return;
        im->hide();
        library->cleanup();
        EXPECT_EQ(unknown->release(), 0u);
        EXPECT_TRUE(panel.isNull()) << "releasing the component destroys its widget";
    }
    // Instantiates the component, takes its interfaces (QUnknown is the
    // input-method part, the other two distinct) and registers the service.
    void take()
    {
        unknown = reinterpret_cast<UcmInstantiateFn>(symbol(UCM_INSTANTIATE_SYMBOL))();
        QUnknownInterface* parts[4];
        const QUuid ids[] = {IID_QUnknown, IID_ZInputMethodInterface, IID_ZInputMethodFactory, IID_QLibrary};
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(unknown->queryInterface(ids[i], &parts[i]), QRS_SUCCESS);
        EXPECT_TRUE(parts[0] == unknown && parts[1] == unknown && parts[2] != unknown && parts[3] != parts[2]);
        im = static_cast<ZInputMethodInterface*>(parts[1]);
        factory = static_cast<ZInputMethodFactory*>(parts[2]);
        library = static_cast<QLibraryInterface*>(parts[3]);
        EXPECT_EQ(unknown->addRef(), 0u) << "the count starts at 0";
        factory->registerService(&service);
    }
    QWidget* requestWidget()
    {
        QWidget* const unset = reinterpret_cast<QWidget*>(0x5a5a5a5a);
        ZKbCmdGetWidget cmd{&HostTag, ZKB_MGRCMD_GET_WIDGET, 0, unset};
        if (im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd)))
            return cmd.widget;
        EXPECT_EQ(cmd.widget, unset) << "a refused command keeps its payload";
        return nullptr;
    }
    // Activates, fetches and shows the panel.
    void show()
    {
        EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
        panel = requestWidget();
        ASSERT_FALSE(panel.isNull());
        panel->show();
    }
    bool sendSetting(uint32_t code, uint32_t argument = 0)
    {
        // 24 bytes: room for the payload of any command the component reads.
        ZKbCmdGetWidget cmd{&HostTag, ZKB_MGRCMD_T(code), argument, nullptr};
        return im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
    }
    void tap(const std::vector<int>& keys) { tapKeys(panel, keys); }
    QVariant state(const char* name) { return panelState(panel).value(QLatin1String(name)); }

    TinyPack pack;
    Service service;
    QUnknownInterface* unknown = nullptr;
    ZInputMethodInterface* im = nullptr;
    ZInputMethodFactory* factory = nullptr;
    QLibraryInterface* library = nullptr;
    QPointer<QWidget> panel;
};

} // namespace

// The first test of the program: the library has seen no command yet, and
// the class identity of the host's commands is the first command's.
TEST_F(PluginFixture, InterfacesCountsCommandsAndTheWidgetsLife)
{
    pack.writeConfig(QByteArray()); // without tarvin.cfg, the installed data
    take();
    EXPECT_EQ(*static_cast<QString*>(symbol("AppPath")), QStringLiteral("/usr/language/inputmethods/DiroruDIV/"));
    QUnknownInterface* none = unknown;
    EXPECT_EQ(unknown->queryInterface(QUuid::createUuid(), &none), QE_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(unknown->queryInterface(IID_QUnknown, nullptr), QE_NOINTERFACE);
    EXPECT_EQ(im->id(), QUuid::fromString(u"{2bd4803d-bde8-408b-b852-18af6d36d155}"));
    EXPECT_EQ(im->name(), QStringLiteral("笔画"));
    EXPECT_EQ(factory->description(), QStringLiteral("Stroke IME"));
    QList<ZInputMethodInterface*> methods{nullptr, im, nullptr};
    factory->registerInputMethods(&methods);
    EXPECT_EQ(methods, QList<ZInputMethodInterface*>{im});

    // Every part reaches the same count; more than two references keep the
    // library loaded.
    const QList<unsigned long> counts{factory->addRef(), library->canUnload(), library->addRef(),
                                      library->canUnload(), im->release(), factory->release()};
    EXPECT_EQ(counts, (QList<unsigned long>{1, true, 2, false, 2, 1}));

    // Before any command the component knows no command class: keys are
    // not sent. Activation makes the widget without showing it.
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint(5, 7)));
    panel = findPanel();
    ASSERT_FALSE(panel.isNull());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->sizeHint(), QSize(240, 144));
    EXPECT_TRUE(panel->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus));
    panel->show();
    EXPECT_FALSE(im->settingCmd(nullptr));
    tap({KeyBackspace});
    EXPECT_TRUE(service.typed.isEmpty());
    library->cleanup();
    EXPECT_TRUE(panel.isNull()) << "cleanup destroys a visible widget";

    // Without a widget commands are refused, yet the first one names the
    // command class, and a later one does not replace it.
    EXPECT_TRUE(im->hide());
    EXPECT_EQ(requestWidget(), nullptr);
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    panel = findPanel();
    panel->show();
    const char otherTag = 0;
    ZCmd<ZKB_MGRCMD_T> reset{&otherTag, ZKB_MGRCMD_RESET};
    EXPECT_TRUE(im->settingCmd(&reset));
    tap({KeyBackspace});
    EXPECT_EQ(service.typed, QStringLiteral("\b"));
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    EXPECT_EQ(requestWidget(), panel.data()) << "a second activation keeps the widget";
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_SEND_KEY));
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_SET_LEARNING, 7));
    im->hide();
    library->cleanup();
    EXPECT_FALSE(panel.isNull()) << "cleanup leaves a hidden widget";
}

// One session of what the component adds to the keyboards: the keyboard
// kept across hiding, the default words, the learning command, and keys
// going to the service registered last.
TEST_F(PluginFixture, SessionThroughTheInterfaces)
{
    take();
    show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0, KeySwitch, 1}); // 中国, then 。
    EXPECT_EQ(service.typed, QStringLiteral("中国。"));
    im->hide(); // writes 国 as learned after 中
    panel->show();
    EXPECT_EQ(state("keyboard").toString(), QStringLiteral("symbol"));
    tap({KeySwitch});
    EXPECT_EQ(state("cells").toStringList().join(QString()), QStringLiteral("；“”、…：，。？！"));

    // Learning off holds for a widget made again after cleanup; turned on,
    // a list loaded while it was off learns nothing.
    const QByteArray learned = pack.wordDat();
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_SET_LEARNING, 0));
    library->cleanup();
    show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0}); // 中国
    EXPECT_EQ(state("cells").toStringList().mid(0, 3), QStringList({"王", "土", "人"})) << "associations still show";
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_SET_LEARNING, 1));
    tap({1}); // 土 after 国
    im->hide();
    EXPECT_EQ(pack.wordDat(), learned);

    // Keys go only to the service registered last, and nowhere without one.
    panel->show();
    Service replacement;
    factory->registerService(&replacement);
    tap({KeyPie, 5});
    factory->registerService(nullptr);
    tap({KeyBackspace});
    EXPECT_EQ(replacement.typed, QStringLiteral("人"));
    EXPECT_EQ(service.typed, QStringLiteral("中国。中国土"));
}
