// The host program and its pieces, around the real plug-in and a tiny pack.

#include "HostWindow.h"
#include "InputMethodManager.h"
#include "PanelTaps.h"
#include "ScriptSession.h"
#include "TextFieldService.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTextStream>

TEST(TextFieldService, InsertsAtTheCursorDeletesBeforeItAndIgnoresTheRest)
{
    QLineEdit field(QStringLiteral("ab"));
    field.setCursorPosition(1);
    const void* tag = InputMethodManager::commandTag();
    const char foreign = 0;
    TextFieldService service(&field, tag);
    const struct { const void* identity; uint32_t code, unicode, keyCode; int result; const char* text; } commands[] = {
        {tag, 2, u'中', 0, 1, "a中b"},
        {tag, 2, 8, ZKB_KEY_BACKSPACE, 1, "ab"},
        {tag, 2, 8, ZKB_KEY_BACKSPACE, 1, "b"},
        {tag, 2, 8, ZKB_KEY_BACKSPACE, 1, "b"}, // nothing left before the cursor
        {&foreign, 2, u'x', 0, 0, "b"},         // another host's command
        {tag, ZKB_MGRCMD_RESET, u'x', 0, 0, "b"},
        {tag, 2, 0, 0, 0, "b"},                 // U+0000 from an empty choice
        {tag, 2, 8, 0, 0, "b"},                 // character 8 without the backspace key
    };
    for (const auto& c : commands) {
        ZKbCmdSendKeyEvent cmd{c.identity, ZKB_MGRCMD_T(c.code), c.unicode, c.keyCode, 0, false, {}, 240};
        EXPECT_EQ(service.executeCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd)), c.result) << c.text;
        EXPECT_EQ(field.text(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(service.executeCmd(nullptr), 0);
}

// A manager refuses what is not an input-method library and loads the real
// one after; a script types, reports, and stops at its first bad line.
TEST(HostSession, ScriptsInTheHostAndThroughTheProgram)
{
    TinyPack pack;
    InputMethodManager manager;
    HostWindow window(&manager);
    QString error;
    EXPECT_FALSE(manager.load(QStringLiteral("/nonexistent/libDiroruDIV.so.1"), window.service(), &error));
    EXPECT_FALSE(manager.load(QStringLiteral("libm.so.6"), window.service(), &error));
    EXPECT_TRUE(error.contains(QLatin1String("ucm_instantiate"))) << error.toStdString();
    EXPECT_FALSE(manager.resetInput());
    ASSERT_TRUE(manager.load(QStringLiteral(DIRORU_PLUGIN_PATH), window.service(), &error)) << error.toStdString();
    window.attachPanel(manager.panel());
    window.show();
    QString log;
    QTextStream out(&log);
    ScriptSession session(&window, &manager, out);
    auto lineArea = [&] { return panelState(manager.panel()).value(QStringLiteral("lineArea")).toBool(); };

    ASSERT_TRUE(session.runLines({"# 中国人, less 人", "stroke 2 5 1 2", "pick 中", "select 0", "stroke 3?",
                                  "pick 人", "backspace", "expect 中国", "hide", "show", "stroke 11"}))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("[丿？] ␣ | 人 们 我 的 ！   text: 中国\n"))) << log.toStdString();
    EXPECT_TRUE(lineArea()) << "the plug-in's own keys do not reset";
    window.field()->setText(QStringLiteral("typed elsewhere"));
    EXPECT_FALSE(lineArea());
    ASSERT_TRUE(session.runLines({"stroke 1", "clear", "expect ", "stroke 1", "clear"})); // a text, then none
    EXPECT_FALSE(lineArea());

    EXPECT_FALSE(session.runLines({"stroke 1", "pick 龘"}));
    EXPECT_TRUE(log.endsWith(QStringLiteral("script line 2: no cell shows 龘\n")));
    for (const char* bad : {"select 10", "stroke 6", "jump", "expect other"})
        EXPECT_FALSE(session.runLines({bad})) << bad;
    EXPECT_FALSE(session.runLines({"hide", "stroke 1"})) << "a hidden panel cannot be tapped";
    manager.shutdown();

    // The program runs a script without a display, saves a screenshot and
    // fails without its library.
    TestDir work;
    const QString script = work.write("session.script", "stroke 2512\npick 中\nselect 0\nswitch\nselect 1\n");
    const QString png = work.path("panel.png");
    QProcess host;
    host.start(DIRORU_HOST_PATH, {"--plugin", DIRORU_PLUGIN_PATH, "--script", script, "--screenshot", png});
    ASSERT_TRUE(host.waitForFinished(60000));
    const QByteArray output = host.readAllStandardOutput();
    EXPECT_TRUE(output.endsWith("final text: 中国。\n")) << output.toStdString();
    EXPECT_GE(QImage(png).height(), 144);

    host.start(DIRORU_HOST_PATH, {"--plugin", work.path("missing.so"), "--script", script});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(host.exitCode(), 1);
}
