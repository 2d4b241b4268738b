// The plug-in library driven as a manager drives it: loaded with dlopen, so
// its globals exist once, inside it, and reached only through the interfaces.
// One session: the class identity of the host's commands is the first
// command's for the life of the library.

#include "ImHostAbi.h"
#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QFile>
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

// A keyboard service checking every key command, padding included, against
// the host's layout.
struct Service : ZKbServiceInterface {
    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override
    {
        const uint32_t unicode = reinterpret_cast<ZKbCmdSendKeyEvent*>(cmd)->unicode;
        const ZKbCmdSendKeyEvent expected{&HostTag, ZKB_MGRCMD_SEND_KEY, unicode, unicode == 8 ? ZKB_KEY_BACKSPACE : 0,
                                          0, false, {}, ZKB_SEND_KEY_VALUE};
        EXPECT_EQ(std::memcmp(cmd, &expected, sizeof expected), 0) << "the key command of " << unicode;
        typed += QChar(char16_t(unicode)); // backspace as '\b'
        return 1;
    }
    QString typed;
};

} // namespace

TEST(Plugin, SessionThroughTheInterfaces)
{
    TinyPack pack;
    Service service;
    const auto instantiate = reinterpret_cast<UcmInstantiateFn>(symbol(UCM_INSTANTIATE_SYMBOL));
    QUnknownInterface* const unknown = instantiate();
    QUnknownInterface* parts[4];
    const QUuid ids[] = {IID_QUnknown, IID_ZInputMethodInterface, IID_ZInputMethodFactory, IID_QLibrary};
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(unknown->queryInterface(ids[i], &parts[i]), QRS_SUCCESS);
    EXPECT_TRUE(parts[0] == unknown && parts[1] == unknown && parts[2] != unknown && parts[3] != parts[2])
        << "QUnknown is the input-method part";
    auto* const im = static_cast<ZInputMethodInterface*>(parts[1]);
    auto* const factory = static_cast<ZInputMethodFactory*>(parts[2]);
    auto* const library = static_cast<QLibraryInterface*>(parts[3]);
    QUnknownInterface* none = unknown;
    EXPECT_EQ(unknown->queryInterface(QUuid::createUuid(), &none), QE_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(unknown->queryInterface(IID_QUnknown, nullptr), QE_NOINTERFACE);
    EXPECT_EQ(im->id(), QUuid::fromString(u"{2bd4803d-bde8-408b-b852-18af6d36d155}"));
    EXPECT_EQ(im->name(), QStringLiteral("笔画"));
    QList<ZInputMethodInterface*> methods{nullptr, im, nullptr};
    factory->registerInputMethods(&methods);
    EXPECT_EQ(methods, QList<ZInputMethodInterface*>{im});
    // Every part reaches the same count, which starts at 0; more than two
    // references keep the library loaded.
    const QList<unsigned long> counts{unknown->addRef(), factory->addRef(), library->canUnload(), library->addRef(),
                                      library->canUnload(), im->release(), factory->release()};
    EXPECT_EQ(counts, (QList<unsigned long>{0, 1, true, 2, false, 2, 1}));

    QPointer<QWidget> panel;
    const auto state = [&](const char* name) { return panelState(panel).value(QLatin1String(name)); };
    // Sends a command with room for the payload of any the component reads;
    // a refused one keeps its payload. A widget given goes to answer.
    QWidget* const unset = reinterpret_cast<QWidget*>(0x5a5a5a5a);
    QWidget* answer = nullptr;
    const auto send = [&](uint32_t code, uint32_t argument = 0) {
        ZKbCmdGetWidget cmd{&HostTag, ZKB_MGRCMD_T(code), argument, unset};
        const bool done = im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
        EXPECT_TRUE(done || cmd.widget == unset) << code;
        answer = done ? cmd.widget : nullptr;
        return done;
    };

    // Before any command the component knows no command class: keys are
    // not sent. Activation makes the widget without showing it.
    // Without Symbols.txt the cells show the component's own punctuation.
    const QString symbols = pack.dir() + QStringLiteral("/Symbols.txt");
    ASSERT_TRUE(QFile::rename(symbols, symbols + QStringLiteral(".off")));
    factory->registerService(&service);
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint(5, 7)));
    panel = qobject_cast<QWidget*>(findPanel()); // without a command
    ASSERT_FALSE(panel.isNull());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->sizeHint(), QSize(240, 144));
    EXPECT_TRUE(panel->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus));
    panel->show();
    tapKeys(panel, {KeyHeng, KeyBackspace}); // the only stroke removed
    EXPECT_EQ(state("cells").toStringList().join(QString()), QStringLiteral("；“”、…：，。？！"));
    ASSERT_TRUE(QFile::rename(symbols + QStringLiteral(".off"), symbols));
    EXPECT_FALSE(im->settingCmd(nullptr));
    tapKeys(panel, {KeyBackspace});
    EXPECT_TRUE(service.typed.isEmpty());
    library->cleanup();
    EXPECT_TRUE(panel.isNull()) << "cleanup destroys a visible widget";

    // Without a widget commands are refused, yet the first one names the
    // command class, and a later one does not replace it.
    EXPECT_TRUE(im->hide());
    EXPECT_FALSE(send(ZKB_MGRCMD_GET_WIDGET));
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    panel = qobject_cast<QWidget*>(findPanel());
    panel->show();
    const char otherTag = 0;
    ZCmd<ZKB_MGRCMD_T> reset{&otherTag, ZKB_MGRCMD_RESET};
    EXPECT_TRUE(im->settingCmd(&reset));
    tapKeys(panel, {KeyBackspace});
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    EXPECT_TRUE(send(ZKB_MGRCMD_GET_WIDGET));
    EXPECT_EQ(answer, panel.data()) << "a second activation keeps the widget";
    EXPECT_FALSE(send(ZKB_MGRCMD_SEND_KEY));
    EXPECT_FALSE(send(ZKB_MGRCMD_SET_LEARNING, 7));

    // The keyboard shown stays across hiding.
    tapKeys(panel, {KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0, KeySwitch, 1}); // 中国, then 。
    EXPECT_EQ(service.typed, QStringLiteral("\b中国。"));
    im->hide(); // writes 国 as learned after 中
    library->cleanup();
    ASSERT_FALSE(panel.isNull()) << "cleanup leaves a hidden widget";
    panel->show();
    EXPECT_EQ(state("keyboard").toString(), QStringLiteral("symbol"));

    // Learning off holds for a widget made again after cleanup; turned on,
    // a list loaded while it was off learns nothing.
    const QByteArray learned = pack.wordDat();
    EXPECT_TRUE(send(ZKB_MGRCMD_SET_LEARNING, 0));
    library->cleanup();
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    ASSERT_TRUE(send(ZKB_MGRCMD_GET_WIDGET));
    panel = answer;
    panel->show();
    tapKeys(panel, {KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0}); // 中国
    EXPECT_EQ(state("cells").toStringList().mid(0, 3), QStringList({"王", "土", "人"})) << "associations still show";
    EXPECT_TRUE(send(ZKB_MGRCMD_SET_LEARNING, 1));
    tapKeys(panel, {1}); // 土 after 国
    im->hide();
    EXPECT_EQ(pack.wordDat(), learned);

    // Keys go only to the service registered last, and nowhere without one.
    panel->show();
    Service replacement;
    factory->registerService(&replacement);
    tapKeys(panel, {KeyPie, 5});
    factory->registerService(nullptr);
    tapKeys(panel, {KeyBackspace});
    EXPECT_EQ(replacement.typed, QStringLiteral("人"));
    EXPECT_EQ(service.typed, QStringLiteral("\b中国。中国土"));

    im->hide();
    library->cleanup();
    EXPECT_EQ(unknown->release(), 0u);
    EXPECT_TRUE(panel.isNull()) << "releasing the component destroys its widget";

    // Without tarvin.cfg the data are the installed ones.
    pack.writeConfig(QByteArray());
    QUnknownInterface* const installed = instantiate();
    EXPECT_EQ(*static_cast<QString*>(symbol("AppPath")), QStringLiteral("/usr/language/inputmethods/DiroruDIV/"));
    installed->addRef();
    installed->release();
}
