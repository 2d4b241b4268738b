// The plug-in library driven as a manager drives it: loaded with dlopen,
// reached only through ucm_instantiate and the interfaces, typed on through
// pointer events on its panel.

#include "PluginFixture.h"

#include <QDir>
#include <QtEndian>

#include <cstring>

namespace {

uint32_t word32(const std::array<uint8_t, 32>& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

const void* identity(const std::array<uint8_t, 32>& bytes)
{
    const void* tag;
    std::memcpy(&tag, bytes.data(), sizeof tag);
    return tag;
}

void expectKeyCommand(const std::array<uint8_t, 32>& bytes, char16_t unicode, uint32_t keyCode)
{
    EXPECT_EQ(identity(bytes), LoadedPlugin::hostTag());
    EXPECT_EQ(word32(bytes, 8), 2u);
    EXPECT_EQ(word32(bytes, 12), uint32_t(unicode));
    EXPECT_EQ(word32(bytes, 16), keyCode);
    EXPECT_EQ(word32(bytes, 20), 0u);
    EXPECT_EQ(bytes[24], 0);
    EXPECT_EQ(bytes[25] | bytes[26] | bytes[27], 0) << "padding is cleared, not stack contents";
    EXPECT_EQ(word32(bytes, 28), 240u);
}

} // namespace

TEST(PluginLibrary, ExportsTheEntryPointAndEveryClassUnmangledOrByName)
{
    EXPECT_NE(LoadedPlugin::symbol("ucm_instantiate"), nullptr);
    EXPECT_NE(LoadedPlugin::symbol("AppPath"), nullptr);
    // The general containers travel in the library although nothing calls them.
    EXPECT_NE(LoadedPlugin::symbol("_ZN11CStringList5ClearEv"), nullptr);
}

TEST_F(PluginFixture, QueriesIdentityAndReferenceCounting)
{
    unknown = LoadedPlugin::instantiate();
    ASSERT_NE(unknown, nullptr);
    QUnknownInterface* p = reinterpret_cast<QUnknownInterface*>(0x1);
    ASSERT_EQ(unknown->queryInterface(IID_QUnknown, &p), QRS_SUCCESS);
    EXPECT_EQ(p, unknown);
    ASSERT_EQ(unknown->queryInterface(IID_ZInputMethodInterface, &p), QRS_SUCCESS);
    EXPECT_EQ(p, unknown) << "QUnknown answers the input-method part";
    im = static_cast<ZInputMethodInterface*>(p);
    ASSERT_EQ(unknown->queryInterface(IID_ZInputMethodFactory, &p), QRS_SUCCESS);
    factory = static_cast<ZInputMethodFactory*>(p);
    ASSERT_EQ(unknown->queryInterface(IID_QLibrary, &p), QRS_SUCCESS);
    library = static_cast<QLibraryInterface*>(p);
    EXPECT_NE(static_cast<void*>(factory), static_cast<void*>(im));
    EXPECT_NE(static_cast<void*>(library), static_cast<void*>(im));

    p = reinterpret_cast<QUnknownInterface*>(0x1);
    EXPECT_EQ(unknown->queryInterface(QUuid::fromString(u"{00000000-1111-2222-3333-444444444444}"), &p),
              QE_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(unknown->queryInterface(IID_QUnknown, nullptr), QE_NOINTERFACE);

    EXPECT_EQ(im->id(), QUuid::fromString(u"{2bd4803d-bde8-408b-b852-18af6d36d155}"));
    EXPECT_EQ(im->name(), QStringLiteral("笔画"));
    EXPECT_TRUE(im->icon().isNull());
    EXPECT_FALSE(im->keyEventFilter(0x41, 0x41, 0, true, false));
    EXPECT_EQ(factory->description(), QStringLiteral("Stroke IME"));
    EXPECT_TRUE(factory->executeMgrCmd(nullptr));
    EXPECT_TRUE(library->init());

    // Calls through the other parts reach the same count.
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(unknown->addRef(), 0u);
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(factory->addRef(), 1u);
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(library->addRef(), 2u);
    EXPECT_FALSE(library->canUnload());
    EXPECT_EQ(im->release(), 2u);
    EXPECT_EQ(factory->release(), 1u);
    EXPECT_EQ(unknown->release(), 0u);  // destroyed here; the sanitizers see a leak otherwise
    unknown = nullptr;
}

TEST_F(PluginFixture, RegistersExactlyItselfAsInputMethod)
{
    instantiate();
    QList<ZInputMethodInterface*> methods{nullptr, reinterpret_cast<ZInputMethodInterface*>(0x10)};
    factory->registerInputMethods(&methods);
    ASSERT_EQ(methods.size(), 1);
    EXPECT_EQ(methods.first(), im);
    factory->registerInputMethods(nullptr);  // nothing to fill: no crash
}

TEST_F(PluginFixture, SettingsCommandsBeforeAndAfterActivation)
{
    instantiate();
    EXPECT_TRUE(im->hide()) << "hide without a widget";

    ZKbCmdGetWidget early{LoadedPlugin::hostTag(), ZKB_MGRCMD_GET_WIDGET, 0x5a5a5a5a, nullptr};
    std::memset(&early.widget, 0xab, sizeof early.widget);
    const ZKbCmdGetWidget before = early;
    EXPECT_FALSE(im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&early)));
    EXPECT_EQ(std::memcmp(&early, &before, sizeof early), 0) << "payload untouched without a widget";
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_RESET));

    factory->registerService(&service);
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint(5, 7)));
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    EXPECT_TRUE(panel->isHidden()) << "activation does not show the panel";
    EXPECT_EQ(panel->sizeHint(), QSize(240, 144));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    EXPECT_EQ(requestWidget(), panel.data()) << "a second activation keeps the widget";

    EXPECT_FALSE(im->settingCmd(nullptr));
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_RESET));
    EXPECT_FALSE(sendSetting(7));
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_SEND_KEY));
}

TEST_F(PluginFixture, CleanupDestroysOnlyAVisibleWidget)
{
    instantiate();
    factory->registerService(&service);
    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());

    library->cleanup();
    EXPECT_EQ(requestWidget(), panel.data()) << "a hidden widget is left in place";

    panel->show();
    library->cleanup();
    EXPECT_TRUE(panel.isNull());
    EXPECT_EQ(requestWidget(), nullptr);

    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    EXPECT_FALSE(panel.isNull()) << "activation after cleanup makes a new widget";
}

TEST_F(PluginFixture, DataDirectoryComesFromTarvinCfg)
{
    auto appPathWith = [&](const QByteArray& config) {
        settings.writeConfig(config);
        QUnknownInterface* component = LoadedPlugin::instantiate();
        component->addRef();
        const QString path = LoadedPlugin::appPath();
        component->release();
        return path;
    };
    const QString fallback = QStringLiteral("/usr/language/inputmethods/DiroruDIV/");
    EXPECT_EQ(appPathWith("[BH]\nInstallDir=/opt/strokes\n"), QStringLiteral("/opt/strokes/"));
    EXPECT_EQ(appPathWith("[BH]\nInstallDir=/opt/strokes/\n"), QStringLiteral("/opt/strokes/"));
    EXPECT_EQ(appPathWith("[BH]\nOther=1\n"), fallback);
    EXPECT_EQ(appPathWith("[XX]\nInstallDir=/opt/strokes\n"), fallback);
    EXPECT_EQ(appPathWith("\x01\xff garbage ]]]\n"), fallback);

    QFile::remove(settings.path(QStringLiteral("tarvin.cfg")));
    QUnknownInterface* component = LoadedPlugin::instantiate();
    EXPECT_EQ(LoadedPlugin::appPath(), fallback) << "no settings file";
    component->addRef();
    component->release();

    // A settings "file" that cannot be read (here a directory).
    QDir().mkpath(settings.path(QStringLiteral("tarvin.cfg")));
    component = LoadedPlugin::instantiate();
    EXPECT_EQ(LoadedPlugin::appPath(), fallback);
    component->addRef();
    component->release();
}

TEST_F(PluginFixture, ChoosingACandidateSendsOneKeyCommandByteByByte)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    const QVariantMap state = LoadedPlugin::state(panel);
    EXPECT_EQ(state.value("line").toString(), QStringLiteral("丨乛一丨"));
    EXPECT_TRUE(state.value("lineArea").toBool());
    EXPECT_EQ(LoadedPlugin::cells(panel).value(5), QStringLiteral("中"));
    EXPECT_TRUE(service.commands.empty()) << "strokes send nothing";

    LoadedPlugin::tap(panel, 5);
    ASSERT_EQ(service.commands.size(), 1u);
    expectKeyCommand(service.commands[0], u'中', 0);

    LoadedPlugin::tap(panel, KeyBackspace);
    ASSERT_EQ(service.commands.size(), 2u);
    expectKeyCommand(service.commands[1], 8, 0x1003);
}

TEST_F(PluginFixture, AssociationPromotionAndACancelledChoice)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    LoadedPlugin::tap(panel, 5);                    // 中
    QStringList cells = LoadedPlugin::cells(panel);
    EXPECT_EQ(cells.mid(0, 3), QStringList({"国", "文", "心"}));
    EXPECT_EQ(cells.mid(3), defaultCells().mid(3)) << "the rest of the page is default punctuation";

    LoadedPlugin::tap(panel, 0);                    // 国, learned after 中
    EXPECT_EQ(LoadedPlugin::cells(panel).mid(0, 3), QStringList({"王", "土", "人"}));

    // 王 and 土 lie beyond the first page of 一 and follow 国: promoted.
    LoadedPlugin::tap(panel, KeyHeng);
    cells = LoadedPlugin::cells(panel);
    EXPECT_EQ(cells.mid(5), QStringList({"一", "二", "十", "三", "干"}));
    EXPECT_EQ(cells.value(0), QStringLiteral("王"));
    EXPECT_EQ(cells.value(4), QStringLiteral("土"));

    LoadedPlugin::tap(panel, 4);                    // 土 after 国, then deleted at once
    LoadedPlugin::tap(panel, KeyBackspace);
    EXPECT_EQ(service.typed(), QStringLiteral("中国土\b"));

    im->hide();
    const QByteArray dat = pack.wordDat();
    EXPECT_EQ(TinyPack::recordChar(dat, 0), u'国');
    EXPECT_EQ(TinyPack::recordRef(dat, 0), 12) << "国 after 中 counted once";
    EXPECT_EQ(TinyPack::recordChar(dat, 24), u'土');
    EXPECT_EQ(TinyPack::recordRef(dat, 24), 4) << "the deleted choice is not learned";
}

TEST_F(PluginFixture, ANewFollowerReplacesTheWeakestOnHide)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    LoadedPlugin::tap(panel, 5);                    // 中
    LoadedPlugin::tap(panel, 0);                    // 国
    LoadedPlugin::tap(panel, KeyHeng);
    LoadedPlugin::tap(panel, KeyNext);
    EXPECT_EQ(LoadedPlugin::cells(panel).mid(5), QStringList({"王", "土", "工", "天", "大"}));
    LoadedPlugin::tap(panel, 7);                    // 工 is not among 国's followers
    EXPECT_EQ(service.typed(), QStringLiteral("中国工"));

    const QByteArray before = pack.wordDat();
    EXPECT_EQ(TinyPack::recordChar(before, 28), u'人') << "pending until the panel hides";
    im->hide();
    const QByteArray dat = pack.wordDat();
    EXPECT_EQ(dat.size(), before.size()) << "word.dat never grows";
    EXPECT_EQ(TinyPack::recordChar(dat, 28), u'工');
    EXPECT_EQ(TinyPack::recordRef(dat, 28), 1);
    EXPECT_EQ(TinyPack::recordRef(dat, 0), 12);
}

TEST_F(PluginFixture, SymbolKeyboardAndHidingWhileItIsShown)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    LoadedPlugin::tap(panel, 5);                    // 中
    LoadedPlugin::tap(panel, 0);                    // 国, pending in word.dat

    LoadedPlugin::tap(panel, KeySwitch);
    QVariantMap state = LoadedPlugin::state(panel);
    EXPECT_EQ(state.value("keyboard").toString(), QStringLiteral("symbol"));
    EXPECT_EQ(state.value("cells").toStringList().join(QString()), TinyPack::firstSymbolTable().left(10));
    LoadedPlugin::tap(panel, 1);
    EXPECT_EQ(service.typed(), QStringLiteral("中国。"));

    // Hiding with the symbol keyboard current still closes the stroke
    // keyboard's files, writing what it learned.
    im->hide();
    EXPECT_EQ(TinyPack::recordRef(pack.wordDat(), 0), 12);
    panel->show();
    EXPECT_EQ(LoadedPlugin::state(panel).value("keyboard").toString(), QStringLiteral("symbol"));

    LoadedPlugin::tap(panel, KeySwitch);
    state = LoadedPlugin::state(panel);
    EXPECT_EQ(state.value("keyboard").toString(), QStringLiteral("stroke"));
    EXPECT_EQ(state.value("cells").toStringList(), defaultCells());
    tapStrokes({KeyPie, KeyWildcard});              // 丿 then any stroke
    EXPECT_EQ(LoadedPlugin::cells(panel).mid(5, 4), QStringList({"人", "们", "我", "的"}));
}

TEST_F(PluginFixture, ResetCommandForgetsTypedStrokes)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyHeng, KeyHeng});
    EXPECT_TRUE(LoadedPlugin::state(panel).value("lineArea").toBool());
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_RESET));
    const QVariantMap state = LoadedPlugin::state(panel);
    EXPECT_FALSE(state.value("lineArea").toBool());
    EXPECT_EQ(state.value("cells").toStringList(), defaultCells());
    tapStrokes({KeyShu});
    EXPECT_EQ(LoadedPlugin::state(panel).value("line").toString(), QStringLiteral("丨"));
}

TEST_F(PluginFixture, KeysWithoutAServiceAreDroppedAndALaterServiceGetsThem)
{
    instantiate();
    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    panel->show();
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    LoadedPlugin::tap(panel, 5);                    // 中: no service, nothing sent
    LoadedPlugin::tap(panel, KeyBackspace);

    factory->registerService(&service);
    LoadedPlugin::tap(panel, 0);
    ASSERT_EQ(service.commands.size(), 1u);
    expectKeyCommand(service.commands[0], u'国', 0);

    RecordingService replacement;
    factory->registerService(&replacement);
    LoadedPlugin::tap(panel, KeyBackspace);
    EXPECT_EQ(service.commands.size(), 1u);
    EXPECT_EQ(replacement.commands.size(), 1u) << "keys go to the service registered last";
    factory->registerService(nullptr);
    LoadedPlugin::tap(panel, KeyBackspace);
    EXPECT_EQ(replacement.commands.size(), 1u);
}

TEST_F(PluginFixture, NullSettingsCommandAfterActivationChangesNothing)
{
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyHeng});
    EXPECT_FALSE(im->settingCmd(nullptr));
    EXPECT_EQ(requestWidget(), panel.data());
    EXPECT_EQ(LoadedPlugin::state(panel).value("line").toString(), QStringLiteral("一"));
    LoadedPlugin::tap(panel, 5);
    ASSERT_EQ(service.commands.size(), 1u);
    expectKeyCommand(service.commands[0], u'一', 0);
}

// Whatever is wrong with the settings or the data directory, the component
// loads and its keyboards work with empty dictionaries.
class BadDataTest : public PluginFixture, public ::testing::WithParamInterface<int>
{
};

TEST_P(BadDataTest, KeyboardsWorkEmpty)
{
    TestDir data;
    switch (GetParam()) {
    case 0:
        QFile::remove(settings.path(QStringLiteral("tarvin.cfg")));
        break;
    case 1:
        QFile::remove(settings.path(QStringLiteral("tarvin.cfg")));
        QDir().mkpath(settings.path(QStringLiteral("tarvin.cfg")));
        break;
    case 2:
        settings.pointAt(data.path(QStringLiteral("does/not/exist")));
        break;
    case 3:
        settings.pointAt(data.dir());
        break;
    case 4:
        data.write(QStringLiteral("bs.dat"), QByteArray("\x07\x00\x00", 3));
        data.write(QStringLiteral("word.idx"), QByteArray("\x2d\x4e\xff\xff\xf0\xff\xff\x7f\x01", 9));
        data.write(QStringLiteral("word.dat"), QByteArray());
        data.write(QStringLiteral("Symbols.txt"), QByteArray("\xff\xfe\x81\r\n\x00\x01", 7));
        data.write(QStringLiteral("InputW_Stroke_Entry.gif"), QByteArray("GIF89a"));
        settings.pointAt(data.dir());
        break;
    }
    ASSERT_NE(start(), nullptr);
    tapStrokes({KeyShu, KeyZhe, KeyHeng, KeyShu});
    QStringList cells = LoadedPlugin::cells(panel);
    EXPECT_EQ(cells.mid(5), defaultCells().mid(5));
    LoadedPlugin::tap(panel, 5);
    LoadedPlugin::tap(panel, KeySwitch);
    LoadedPlugin::tap(panel, 3);
    LoadedPlugin::tap(panel, KeyNext);
    LoadedPlugin::tap(panel, KeySwitch);
    LoadedPlugin::tap(panel, 9);
    im->hide();
    panel->show();
    EXPECT_EQ(service.typed().left(1), defaultCells().value(5));
}

std::string badDataName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"NoSettingsFile", "UnreadableSettings", "MissingInstallDir",
                                        "InstallDirWithoutData", "DamagedDataFiles"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Settings, BadDataTest, ::testing::Range(0, 5), badDataName);
