// The host program's pieces: the text-field service on its own, and the
// manager, window and script session around the real plug-in library.

#include "HostWindow.h"
#include "InputMethodManager.h"
#include "ScriptSession.h"
#include "SettingDir.h"
#include "TextFieldService.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTextStream>

#include <cstring>

namespace {

const char ForeignTag = 0;

ZKbCmdSendKeyEvent keyCommand(const void* tag, uint32_t unicode, uint32_t keyCode)
{
    ZKbCmdSendKeyEvent cmd;
    std::memset(&cmd, 0, sizeof cmd);
    cmd.classIdentity = tag;
    cmd.code = ZKB_MGRCMD_SEND_KEY;
    cmd.unicode = unicode;
    cmd.keyCode = keyCode;
    cmd.value = ZKB_SEND_KEY_VALUE;
    return cmd;
}

int send(TextFieldService& service, ZKbCmdSendKeyEvent cmd)
{
    return service.executeCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd));
}

} // namespace

TEST(TextFieldService, InsertsAtTheCursorAndDeletesBeforeIt)
{
    QLineEdit field;
    field.setText(QStringLiteral("ab"));
    field.setCursorPosition(1);
    TextFieldService service(&field, InputMethodManager::commandTag());
    const void* tag = InputMethodManager::commandTag();

    EXPECT_EQ(send(service, keyCommand(tag, u'中', 0)), 1);
    EXPECT_EQ(field.text(), QStringLiteral("a中b"));
    EXPECT_EQ(send(service, keyCommand(tag, 8, ZKB_KEY_BACKSPACE)), 1);
    EXPECT_EQ(send(service, keyCommand(tag, 8, ZKB_KEY_BACKSPACE)), 1);
    EXPECT_EQ(field.text(), QStringLiteral("b"));
    EXPECT_EQ(send(service, keyCommand(tag, 8, ZKB_KEY_BACKSPACE)), 1) << "nothing before the cursor";
    EXPECT_EQ(field.text(), QStringLiteral("b"));

    // Not for this field: other hosts' commands, other codes, control characters.
    EXPECT_EQ(send(service, keyCommand(&ForeignTag, u'x', 0)), 0);
    EXPECT_EQ(send(service, keyCommand(tag, 0, 0)), 0);
    EXPECT_EQ(send(service, keyCommand(tag, 8, 0)), 0) << "character 8 without the backspace key";
    EXPECT_EQ(send(service, keyCommand(tag, 0x1F600, 0)), 0);
    ZKbCmdSendKeyEvent reset = keyCommand(tag, u'y', 0);
    reset.code = ZKB_MGRCMD_RESET;
    EXPECT_EQ(send(service, reset), 0);
    EXPECT_EQ(service.executeCmd(nullptr), 0);
    EXPECT_EQ(field.text(), QStringLiteral("b"));
    EXPECT_EQ(service.keysApplied(), 4);
}

TEST(InputMethodManager, ALibraryThatIsNotAnInputMethodIsRefused)
{
    InputMethodManager manager;
    QLineEdit field;
    TextFieldService service(&field, InputMethodManager::commandTag());
    QString error;
    EXPECT_FALSE(manager.load(QStringLiteral("/nonexistent/libDiroruDIV.so.1"), &service, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(manager.load(QStringLiteral("libm.so.6"), &service, &error));
    EXPECT_TRUE(error.contains(QLatin1String("ucm_instantiate"))) << error.toStdString();
    EXPECT_EQ(manager.panel(), nullptr);
    EXPECT_FALSE(manager.resetInput());
    manager.hidePanel();
    manager.shutdown();
}

class HostSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.pointAt(pack.dir());
        QString error;
        ASSERT_TRUE(manager.load(QStringLiteral(DIRORU_PLUGIN_PATH), window.service(), &error))
            << error.toStdString();
        window.attachPanel(manager.panel());
        window.show();
    }
    void TearDown() override { manager.shutdown(); }

    bool run(const QStringList& lines)
    {
        ScriptSession session(&window, &manager, out);
        return session.runLines(lines);
    }
    bool lineAreaShown()
    {
        QVariantMap state;
        QMetaObject::invokeMethod(manager.panel(), "panelState", Qt::DirectConnection,
                                  Q_RETURN_ARG(QVariantMap, state));
        return state.value(QStringLiteral("lineArea")).toBool();
    }

    TinyPack pack;
    SettingDir settings;
    InputMethodManager manager;
    HostWindow window{&manager};
    QString log;
    QTextStream out{&log};
};

TEST_F(HostSession, ScriptTypesIntoTheFieldAndReportsEveryTap)
{
    ASSERT_TRUE(run({"# 中国, then 人 by the wildcard", "stroke 2 5 1 2", "pick 中", "select 0",
                     "stroke 3?", "print", "pick 人", "backspace", "expect 中国", "hide"}))
        << log.toStdString();
    EXPECT_EQ(window.field()->text(), QStringLiteral("中国"));
    EXPECT_TRUE(log.contains(QStringLiteral("stroke 乛\tstroke: ")));
    EXPECT_TRUE(log.contains(QStringLiteral("[丿？]"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("text: 中国人\n")));
    // The hide wrote 国 as learned after 中.
    EXPECT_EQ(TinyPack::recordRef(pack.wordDat(), 0), 12);
}

TEST_F(HostSession, ScriptErrorsStopTheSessionWithTheLineNumber)
{
    EXPECT_FALSE(run({"stroke 1", "pick 龘"}));
    EXPECT_TRUE(log.contains(QStringLiteral("script line 2: no cell shows 龘")));
    EXPECT_FALSE(run({"select 10"}));
    EXPECT_FALSE(run({"stroke 6"}));
    EXPECT_FALSE(run({"jump"}));
    EXPECT_FALSE(run({"expect something"}));
    EXPECT_FALSE(run({"hide", "stroke 1"})) << "a hidden panel cannot be tapped";
    EXPECT_TRUE(log.contains(QStringLiteral("the panel is hidden")));
}

TEST_F(HostSession, ChangesByAnythingButTheInputMethodResetTheStrokes)
{
    ASSERT_TRUE(run({"stroke 2512", "pick 中"}));
    ASSERT_TRUE(run({"stroke 11"}));
    EXPECT_TRUE(lineAreaShown()) << "the plug-in's own key did not reset";
    window.field()->setText(QStringLiteral("typed elsewhere"));
    EXPECT_FALSE(lineAreaShown());

    ASSERT_TRUE(run({"stroke 1"}));
    window.clearText();
    EXPECT_FALSE(lineAreaShown());
    EXPECT_TRUE(window.field()->text().isEmpty());
    ASSERT_TRUE(run({"stroke 1"}));
    window.clearText();  // already empty: still a reset
    EXPECT_FALSE(lineAreaShown());
}

TEST(HostProgram, RunsAScriptWithoutADisplayAndSavesAScreenshot)
{
    TinyPack pack;
    SettingDir settings;
    settings.pointAt(pack.dir());
    TestDir work;
    const QString script = work.write(QStringLiteral("session.script"),
                                      "stroke 2512\npick 中\nselect 0\nswitch\nselect 1\nswitch\n");
    const QString png = work.path(QStringLiteral("panel.png"));

    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(DIRORU_HOST_PATH),
               {QStringLiteral("--plugin"), QStringLiteral(DIRORU_PLUGIN_PATH), QStringLiteral("--script"), script,
                QStringLiteral("--screenshot"), png});
    ASSERT_TRUE(host.waitForFinished(60000));
    const QString output = QString::fromUtf8(host.readAllStandardOutput());
    EXPECT_EQ(host.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("final text: 中国。\n"))) << output.toStdString();
    const QImage shot(png);
    EXPECT_GE(shot.width(), 240);
    EXPECT_GE(shot.height(), 144);

    host.start(QStringLiteral(DIRORU_HOST_PATH),
               {QStringLiteral("--plugin"), work.path(QStringLiteral("missing.so")), QStringLiteral("--script"), script});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_NE(host.exitCode(), 0);
}
