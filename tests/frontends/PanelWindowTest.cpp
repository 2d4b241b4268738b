// A Qt Quick application without widgets typing through the "diroru" input
// context offscreen: the panel is a window drawn at twice its layout size, and
// hardware keys go through the context's filterEvent as a windowing system
// passes them. The context and the scale are chosen in main, before the app.

#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <private/qguiapplication_p.h>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatformintegration.h>

namespace {

constexpr int Scale = 2;

QObject* root = nullptr; // the window of Qml, loaded once for the program
const char Qml[] = R"(
import QtQuick
import QtQuick.Controls
Window {
    width: 400; height: 300; visible: true
    Column {
        TextField { objectName: "plain"; width: 300 }
        TextField { objectName: "readOnly"; width: 300; readOnly: true; text: "fixed" }
        TextField { objectName: "digits"; width: 300; inputMethodHints: Qt.ImhDigitsOnly }
        Button { objectName: "button"; text: "OK" }
    }
}
)";

class PanelWindow : public ::testing::Test
{
protected:
    QQuickItem* item(const char* name) { return root->findChild<QQuickItem*>(QLatin1String(name)); }
    QString text(const char* name) { return item(name)->property("text").toString(); }
    void focus(const char* name)
    {
        item(name)->forceActiveFocus();
        settleEvents();
        panel = qobject_cast<QWindow*>(findPanel());
    }
    bool panelShown() { return panel && panel->isVisible() && QGuiApplication::inputMethod()->isVisible(); }
    // Presses and releases keys as a windowing system passes them to the
    // context first; a key it does not take goes on to the focused item.
    // Each is a character or a key name as QKeySequence reads it, or Shift.
    void keys(std::initializer_list<const char*> names)
    {
        QPlatformInputContext* context = QGuiApplicationPrivate::platformIntegration()->inputContext();
        for (const char* name : names) {
            const QString n = QString::fromUtf8(name);
            const int code = n == QLatin1String("Shift") ? int(Qt::Key_Shift) : QKeySequence(n)[0].key();
            const QString typed = n.size() == 1 ? n : code == Qt::Key_Space ? QStringLiteral(" ") : QString();
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, code, Qt::NoModifier, typed);
                if (!context->filterEvent(&event))
                    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &event);
            }
        }
        settleEvents();
    }
    QVariant state(const char* name) { return panelState(panel).value(QLatin1String(name)); }

    QWindow* panel = nullptr;
};

// A window, since there are no widgets, drawn at twice the size: touch types
// into the field, which keeps the focus. A read-only field gets no panel, a
// digits field the digit table.
TEST_F(PanelWindow, TouchReadOnlyAndDigitFields)
{
    focus("plain");
    ASSERT_TRUE(panelShown());
    EXPECT_EQ(panel->size(), QSize(240 * Scale, 144 * Scale));
    EXPECT_TRUE(panel->flags().testFlags(Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint));
    EXPECT_EQ(panel->geometry().bottom(), panel->screen()->availableGeometry().bottom());
    tapKeys(panel, {KeyPie, KeyHeng, KeyShu, KeyHeng, KeyZhe, KeyPie, KeyDian, 5, 0}, Scale); // 我, then its 们
    EXPECT_EQ(text("plain"), QStringLiteral("我们"));
    EXPECT_EQ(QGuiApplication::focusObject(), item("plain"));

    focus("readOnly");
    EXPECT_FALSE(panelShown());
    keys({"h", "1"});
    EXPECT_EQ(text("readOnly"), QStringLiteral("fixed"));

    focus("digits");
    ASSERT_TRUE(panelShown());
    EXPECT_EQ(state("keyboard").toString(), QStringLiteral("symbol"));
    EXPECT_EQ(state("cells").toStringList().join(QString()), QStringLiteral("1234567890"));
    tapKeys(panel, {3}, Scale);
    EXPECT_EQ(text("digits"), QStringLiteral("4"));

    focus("plain");
    EXPECT_EQ(state("keyboard").toString(), QStringLiteral("stroke"));
}

// Each row starts on an empty field without strokes.
struct KeyCase
{
    const char* name;
    std::initializer_list<const char*> keys;
    const char* text;     // the field afterwards
    const char* strokes;  // typed and still pending
};

const KeyCase KeyCases[] = {
    {"strokes_then_digit", {"p", "h", "s", "h", "z", "p", "n", "1"}, "我", ""},
    {"space_then_association_digit", {"p", "h", "s", "h", "z", "p", "n", "Space", "1"}, "我们", ""},
    {"backspace_takes_a_stroke", {"h", "h", "Backspace"}, "", "1"},
    {"backspace_edits_text", {"h", "1", "Esc", "Backspace"}, "", ""},
    {"escape_clears_strokes", {"h", "s", "Esc"}, "", ""},
    {"wildcard", {"h", "?"}, "", "17"},
    {"paging_keeps_strokes", {"h", "PgDown", "=", "PgUp", "-"}, "", "1"},
    {"shift_passes_keys_strokes_kept", {"h", "Shift", "a", "h", "Shift", "h"}, "ah", "11"},
};

TEST_F(PanelWindow, HardwareKeys)
{
    for (const KeyCase& c : KeyCases) {
        SCOPED_TRACE(c.name);
        focus("button");
        item("plain")->setProperty("text", QString());
        focus("plain");
        keys(c.keys);
        EXPECT_EQ(text("plain"), QString::fromUtf8(c.text));
        EXPECT_EQ(state("strokes").toString(), QLatin1String(c.strokes));
    }
}

} // namespace

int main(int argc, char** argv)
{
    prepareInputContext(DIRORU_QTPLUGIN_PATH);
    qputenv("DIRORU_PANEL_SCALE", QByteArray::number(Scale));
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData(Qml);
    root = engine.rootObjects().value(0);
    ::testing::InitGoogleTest(&argc, argv);
    return root ? RUN_ALL_TESTS() : 1;
}
