// The plug-in library driven as a manager drives it: reached only through
// ucm_instantiate and the interfaces, typed on through pointer events.

#include "PluginFixture.h"

#include <QDir>
#include <QtEndian>

#include <cstring>

namespace {

void expectKeyCommand(const std::array<uint8_t, 32>& b, const void* tag, char16_t unicode, uint32_t keyCode)
{
    const void* identity;
    std::memcpy(&identity, b.data(), sizeof identity);
    auto word = [&](int at) { return qFromLittleEndian<quint32>(b.data() + at); };
    EXPECT_EQ(identity, tag);
    EXPECT_EQ(word(8), 2u);
    EXPECT_EQ(word(12), uint32_t(unicode));
    EXPECT_EQ(word(16), keyCode);
    EXPECT_EQ(word(20), 0u);
    EXPECT_EQ(b[24], 0);
    EXPECT_EQ(b[25] | b[26] | b[27], 0) << "padding is cleared, not stack contents";
    EXPECT_EQ(word(28), 240u);
}

} // namespace

TEST_F(PluginFixture, ExportsEntryPointGlobalsAndContainers)
{
    EXPECT_NE(symbol("ucm_instantiate"), nullptr);
    EXPECT_NE(symbol("AppPath"), nullptr);
    EXPECT_NE(symbol("_ZN11CStringList5ClearEv"), nullptr) << "containers travel in the library";
}

TEST_F(PluginFixture, QueriesIdentityAndReferenceCounting)
{
    unknown = instantiate();
    ASSERT_NE(unknown, nullptr);
    QUnknownInterface* p = nullptr;
    QUnknownInterface* parts[4];
    const QUuid ids[] = {IID_QUnknown, IID_ZInputMethodInterface, IID_ZInputMethodFactory, IID_QLibrary};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(unknown->queryInterface(ids[i], &parts[i]), QRS_SUCCESS);
    }
    EXPECT_EQ(parts[0], unknown);
    EXPECT_EQ(parts[1], unknown) << "QUnknown is the input-method part";
    EXPECT_NE(parts[2], unknown);
    EXPECT_NE(parts[3], parts[2]);
    im = static_cast<ZInputMethodInterface*>(parts[1]);
    factory = static_cast<ZInputMethodFactory*>(parts[2]);
    library = static_cast<QLibraryInterface*>(parts[3]);
    p = unknown;
    EXPECT_EQ(unknown->queryInterface(QUuid::createUuid(), &p), QE_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(unknown->queryInterface(IID_QUnknown, nullptr), QE_NOINTERFACE);

    EXPECT_EQ(im->id(), QUuid::fromString(u"{2bd4803d-bde8-408b-b852-18af6d36d155}"));
    EXPECT_EQ(im->name(), QStringLiteral("笔画"));
    EXPECT_TRUE(im->icon().isNull());
    EXPECT_FALSE(im->keyEventFilter(0x41, 0x41, 0, true, false));
    EXPECT_EQ(factory->description(), QStringLiteral("Stroke IME"));
    EXPECT_TRUE(factory->executeMgrCmd(nullptr));
    EXPECT_TRUE(library->init());
    QList<ZInputMethodInterface*> methods{nullptr, im, nullptr};
    factory->registerInputMethods(&methods);
    EXPECT_EQ(methods, QList<ZInputMethodInterface*>{im});

    // Every part reaches the same count, which starts at 0.
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(unknown->addRef(), 0u);
    EXPECT_EQ(factory->addRef(), 1u);
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(library->addRef(), 2u);
    EXPECT_FALSE(library->canUnload());
    EXPECT_EQ(im->release(), 2u);
    EXPECT_EQ(factory->release(), 1u);
    EXPECT_EQ(unknown->release(), 0u);  // destroyed: the sanitizers would report a leak
    unknown = nullptr;
}

TEST_F(PluginFixture, SettingsCommandsAndTheWidgetsLife)
{
    take();
    EXPECT_TRUE(im->hide()) << "hide without a widget";
    ZKbCmdGetWidget early{hostTag(), ZKB_MGRCMD_GET_WIDGET, 0x5a5a5a5a, nullptr};
    std::memset(&early.widget, 0xab, sizeof early.widget);
    const ZKbCmdGetWidget before = early;
    EXPECT_FALSE(im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&early)));
    EXPECT_EQ(std::memcmp(&early, &before, sizeof early), 0) << "no widget: payload untouched";

    factory->registerService(&service);
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint(5, 7)));
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    EXPECT_TRUE(panel->isHidden()) << "activation does not show the panel";
    EXPECT_EQ(panel->sizeHint(), QSize(240, 144));
    EXPECT_TRUE(panel->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(im->activate(ZKbOwner(), QPoint()));
    EXPECT_EQ(requestWidget(), panel.data()) << "a second activation keeps the widget";

    EXPECT_FALSE(im->settingCmd(nullptr));
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_RESET));
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_SEND_KEY));

    library->cleanup();
    EXPECT_EQ(requestWidget(), panel.data()) << "cleanup leaves a hidden widget";
    panel->show();
    library->cleanup();
    EXPECT_TRUE(panel.isNull()) << "and destroys a visible one";
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_RESET));
    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    EXPECT_FALSE(panel.isNull());
}

TEST_F(PluginFixture, DataDirectoryComesFromTarvinCfg)
{
    auto appPath = [&](const QByteArray& config) {
        pack.writeConfig(config);
        QUnknownInterface* component = instantiate();
        const QString path = *static_cast<QString*>(symbol("AppPath"));
        component->addRef();
        component->release();
        return path;
    };
    const QString fallback = QStringLiteral("/usr/language/inputmethods/DiroruDIV/");
    EXPECT_EQ(appPath("[BH]\nInstallDir=/opt/strokes\n"), QStringLiteral("/opt/strokes/"));
    EXPECT_EQ(appPath("[BH]\nInstallDir=/opt/strokes/\n"), QStringLiteral("/opt/strokes/"));
    EXPECT_EQ(appPath("[XX]\nInstallDir=/opt/strokes\n"), fallback);
    EXPECT_EQ(appPath("\x01\xff ]]]\n"), fallback);
    EXPECT_EQ(appPath(QByteArray()), fallback) << "no settings file";
    QDir().mkpath(pack.configPath());
    EXPECT_EQ(appPath(QByteArray()), fallback) << "a settings file that cannot be read";
}

TEST_F(PluginFixture, TypingAssociationPromotionAndLearning)
{
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu});
    EXPECT_EQ(state().value("line").toString(), QStringLiteral("丨乛一丨"));
    EXPECT_EQ(cells().value(5), QStringLiteral("中"));
    EXPECT_TRUE(service.commands.empty()) << "strokes send nothing";

    tap({5});                                       // 中
    ASSERT_EQ(service.commands.size(), 1u);
    expectKeyCommand(service.commands[0], hostTag(), u'中', 0);
    EXPECT_EQ(cells(), QStringList({"国", "文", "心"}) + defaultCells().mid(3));

    tap({0});                                       // 国, learned after 中
    tap({KeyHeng});                                 // 王 and 土 follow 国: promoted
    EXPECT_EQ(cells().value(0) + cells().value(4), QStringLiteral("王土"));
    EXPECT_EQ(cells().mid(5), QStringList({"一", "二", "十", "三", "干"}));
    tap({4, KeyBackspace});                         // 土, deleted at once
    expectKeyCommand(service.commands.back(), hostTag(), 8, 0x1003);
    tap({KeyPie, 7});                               // 我, after nothing with a list
    tap({KeyHeng, 5});                              // 一: new after 我
    EXPECT_EQ(service.typed(), QStringLiteral("中国土\b我一"));

    const QByteArray before = pack.wordDat();
    im->hide();
    EXPECT_EQ(pack.wordDat().size(), before.size()) << "word.dat never grows";
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));
    EXPECT_EQ(pack.record(24), std::make_pair(u'土', quint16(4))) << "the deleted choice is not learned";
    EXPECT_EQ(pack.record(44), std::make_pair(u'一', quint16(1))) << "in place of the weakest, 国";
}

TEST_F(PluginFixture, LearningCommandStopsRecordingButNotAssociations)
{
    auto setLearning = [&](uint32_t value) {
        ZKbCmdSetLearning cmd{hostTag(), ZKB_MGRCMD_SET_LEARNING, value};
        return im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
    };
    ASSERT_NE(start(), nullptr);
    EXPECT_FALSE(setLearning(7));
    EXPECT_TRUE(setLearning(0));

    const QByteArray before = pack.wordDat();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});      // 中
    EXPECT_EQ(cells().mid(0, 3), QStringList({"国", "文", "心"}));
    tap({0});                                       // 国
    im->hide();
    EXPECT_EQ(pack.wordDat(), before);

    panel->show();
    EXPECT_TRUE(setLearning(1));
    tap({1});                                       // 土 after 国, chosen while off
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});   // 中 国: learned
    im->hide();
    EXPECT_EQ(service.typed(), QStringLiteral("中国土中国"));
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));
    EXPECT_EQ(pack.wordDat().mid(4), before.mid(4)) << "only 国 after 中 was learned";

    // A widget made again after cleanup keeps learning off.
    EXPECT_TRUE(setLearning(0));
    panel->show();
    library->cleanup();
    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    panel->show();
    const QByteArray learned = pack.wordDat();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
    im->hide();
    EXPECT_EQ(pack.wordDat(), learned);
}

TEST_F(PluginFixture, SymbolKeyboardAndHidingWhileItIsShown)
{
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});  // 中国: 国 pending
    tap({KeySwitch});
    EXPECT_EQ(state().value("keyboard").toString(), QStringLiteral("symbol"));
    EXPECT_EQ(cells().join(QString()), QStringLiteral("，。、；：？！…—·"));
    tap({1});
    EXPECT_EQ(service.typed(), QStringLiteral("中国。"));

    // The stroke keyboard closes its files on hide whichever keyboard shows.
    im->hide();
    EXPECT_EQ(pack.record(0).second, 12);
    panel->show();
    EXPECT_EQ(state().value("keyboard").toString(), QStringLiteral("symbol"));
    tap({KeySwitch, KeyHeng, KeyHeng});
    EXPECT_TRUE(state().value("lineArea").toBool());
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_RESET));
    EXPECT_FALSE(state().value("lineArea").toBool());
    EXPECT_EQ(cells(), defaultCells());
    tap({KeyPie, KeyWildcard});                     // 丿 then any stroke
    EXPECT_EQ(cells().mid(5, 4), QStringList({"人", "们", "我", "的"}));
}

TEST_F(PluginFixture, KeysGoOnlyToTheServiceRegisteredLast)
{
    take();
    im->activate(ZKbOwner(), QPoint());             // no service yet
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    panel->show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, KeyBackspace});  // dropped, no crash
    factory->registerService(&service);
    tap({0});
    ASSERT_EQ(service.commands.size(), 1u);
    expectKeyCommand(service.commands[0], hostTag(), u'国', 0);

    Service replacement;
    factory->registerService(&replacement);
    tap({KeyBackspace});
    EXPECT_EQ(service.commands.size(), 1u);
    EXPECT_EQ(replacement.commands.size(), 1u);
    factory->registerService(nullptr);
    tap({KeyBackspace});
    EXPECT_EQ(replacement.commands.size(), 1u);
}

// Whatever is wrong with the settings or the data, the component loads and
// its keyboards work with empty dictionaries.
class BadData : public PluginFixture, public ::testing::WithParamInterface<int>
{
};

TEST_P(BadData, KeyboardsWorkEmpty)
{
    TestDir data;
    const QByteArray pointAtData = "[BH]\nInstallDir=" + data.dir().toUtf8() + "\n";
    switch (GetParam()) {
    case 0: pack.writeConfig(QByteArray()); break;
    case 1: pack.writeConfig(QByteArray()); QDir().mkpath(pack.configPath()); break;
    case 2: pack.writeConfig("[BH]\nInstallDir=" + data.path("missing").toUtf8() + "\n"); break;
    case 3: pack.writeConfig(pointAtData); break;
    default:
        data.write("bs.dat", QByteArray("\x07\x00\x00", 3));
        data.write("word.idx", QByteArray("\x2d\x4e\xff\xff\xf0\xff\xff\x7f\x01", 9));
        data.write("word.dat", QByteArray());
        data.write("Symbols.txt", QByteArray("\xff\xfe\x81\r\n\x00\x01", 7));
        data.write("InputW_Stroke_Entry.gif", "GIF89a");
        pack.writeConfig(pointAtData);
    }
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu});
    EXPECT_EQ(cells().mid(5), defaultCells().mid(5));
    tap({5, KeySwitch, 3, KeyNext, KeySwitch, 9});
    im->hide();
    panel->show();
    EXPECT_EQ(service.typed().left(1), defaultCells().value(5));
}

INSTANTIATE_TEST_SUITE_P(Settings, BadData, ::testing::Range(0, 5));
