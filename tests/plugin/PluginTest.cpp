// The plug-in library driven as a manager drives it: reached only through
// ucm_instantiate and the interfaces, typed on through pointer events.

#include "PluginFixture.h"

#include <QDir>
#include <QtEndian>

#include <cstring>

namespace {

void expectKeyCommand(const std::array<uint8_t, 32>& b, char16_t unicode, uint32_t keyCode)
{
    const void* identity;
    std::memcpy(&identity, b.data(), sizeof identity);
    auto word = [&](int at) { return qFromLittleEndian<quint32>(b.data() + at); };
    EXPECT_EQ(identity, PluginFixture::hostTag());
    EXPECT_EQ(word(8), 2u);
    EXPECT_EQ(word(12), uint32_t(unicode));
    EXPECT_EQ(word(16), keyCode);
    EXPECT_EQ(word(20), 0u);
    EXPECT_EQ(b[24] | b[25] | b[26] | b[27], 0) << "false, and padding cleared rather than stack contents";
    EXPECT_EQ(word(28), 240u);
}

} // namespace

TEST_F(PluginFixture, InterfacesCountsAndTheWidgetsLife)
{
    unknown = instantiate();
    ASSERT_NE(unknown, nullptr);
    QUnknownInterface* parts[4];
    const QUuid ids[] = {IID_QUnknown, IID_ZInputMethodInterface, IID_ZInputMethodFactory, IID_QLibrary};
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(unknown->queryInterface(ids[i], &parts[i]), QRS_SUCCESS);
    EXPECT_EQ(parts[0], unknown);
    EXPECT_EQ(parts[1], unknown) << "QUnknown is the input-method part";
    EXPECT_NE(parts[2], unknown);
    EXPECT_NE(parts[3], parts[2]);
    im = static_cast<ZInputMethodInterface*>(parts[1]);
    factory = static_cast<ZInputMethodFactory*>(parts[2]);
    library = static_cast<QLibraryInterface*>(parts[3]);
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

    // Every part reaches the same count, which starts at 0.
    EXPECT_EQ(unknown->addRef(), 0u);
    EXPECT_EQ(factory->addRef(), 1u);
    EXPECT_TRUE(library->canUnload());
    EXPECT_EQ(library->addRef(), 2u);
    EXPECT_FALSE(library->canUnload());
    EXPECT_EQ(im->release(), 2u);
    EXPECT_EQ(factory->release(), 1u);

    // Before activation there is no widget: commands fail, payload untouched.
    EXPECT_TRUE(im->hide());
    ZKbCmdGetWidget early{hostTag(), ZKB_MGRCMD_GET_WIDGET, 0x5a5a5a5a, nullptr};
    std::memset(&early.widget, 0xab, sizeof early.widget);
    const ZKbCmdGetWidget before = early;
    EXPECT_FALSE(im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&early)));
    EXPECT_EQ(std::memcmp(&early, &before, sizeof early), 0);
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_RESET));

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
    EXPECT_FALSE(sendSetting(ZKB_MGRCMD_SET_LEARNING, 7));

    library->cleanup();
    EXPECT_EQ(requestWidget(), panel.data()) << "cleanup leaves a hidden widget";
    panel->show();
    library->cleanup();
    EXPECT_TRUE(panel.isNull()) << "and destroys a visible one";
    EXPECT_EQ(unknown->release(), 0u); // destroyed: the sanitizers would report a leak
    unknown = nullptr;
}

// Every other test names its data folder without the final slash; the
// reading of tarvin.cfg itself is the settings library's.
TEST_F(PluginFixture, DataDirectoryWithoutTarvinCfgIsTheInstalledOne)
{
    pack.writeConfig(QByteArray());
    QUnknownInterface* component = instantiate();
    EXPECT_EQ(*static_cast<QString*>(symbol("AppPath")), QStringLiteral("/usr/language/inputmethods/DiroruDIV/"));
    component->addRef();
    component->release();
}

// One session of what the component adds to the keyboards: key commands
// in the host's layout, learning written whichever keyboard shows, the reset
// and learning commands, and keys going to the service registered last.
TEST_F(PluginFixture, SessionThroughTheInterfaces)
{
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu});
    EXPECT_TRUE(service.commands.empty()) << "strokes send nothing";
    tap({5, 0, KeySwitch, 1}); // 中国, learned when the panel hides; then 。
    ASSERT_EQ(service.typed(), QStringLiteral("中国。"));
    expectKeyCommand(service.commands[0], u'中', 0);
    const QByteArray shipped = pack.wordDat();
    im->hide();
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));
    EXPECT_EQ(pack.wordDat().mid(4), shipped.mid(4));
    panel->show();
    EXPECT_EQ(panelState(panel).value("keyboard").toString(), QStringLiteral("symbol"));
    tap({KeySwitch, KeyHeng, KeyHeng});
    EXPECT_TRUE(panelState(panel).value("lineArea").toBool());
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_RESET));
    EXPECT_FALSE(panelState(panel).value("lineArea").toBool());
    EXPECT_EQ(cells().join(QString()), QStringLiteral("；“”、…：，。？！"));
    tap({KeyBackspace});
    expectKeyCommand(service.commands.back(), 8, ZKB_KEY_BACKSPACE);

    // Learning off holds for a widget made again after cleanup; turned on,
    // a list loaded while it was off learns nothing.
    const QByteArray learned = pack.wordDat();
    EXPECT_TRUE(sendSetting(ZKB_MGRCMD_SET_LEARNING, 0));
    library->cleanup();
    im->activate(ZKbOwner(), QPoint());
    panel = requestWidget();
    ASSERT_FALSE(panel.isNull());
    panel->show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0}); // 中国
    EXPECT_EQ(cells().mid(0, 3), QStringList({"王", "土", "人"})) << "associations still show";
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
    EXPECT_EQ(replacement.typed(), QStringLiteral("人"));
    EXPECT_EQ(service.typed(), QStringLiteral("中国。\b中国土"));
}
