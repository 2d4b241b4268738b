// The panel on a real X server with a window manager (scripts/test-x11.sh
// starts Xvfb and openbox): taps are real pointer clicks sent through XTest
// by xdotool, and what is on screen is checked on screenshots, saved in
// DIRORU_SCREENSHOT_DIR for people to look at.

#include "PanelTaps.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// DIRORU_X11_APP=widgets runs the same cases in a QApplication with a
// QLineEdit, where the panel is the plug-in's widget; otherwise in a
// QGuiApplication with a Qt Quick TextField, where it is the plug-in's window.
bool widgetApp()
{
    return qEnvironmentVariable("DIRORU_X11_APP") == QLatin1String("widgets");
}

const char WindowQml[] = R"(
import QtQuick
import QtQuick.Controls
Window {
    width: 500; height: 120; color: "blue"; title: "text field"
    TextField { objectName: "field"; x: 20; y: 40; width: 400; font.pixelSize: 24 }
}
)";

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

class PanelX11 : public ::testing::Test
{
protected:
    // Full screen, since the panel must stay above such a window.
    void open()
    {
        if (widgetApp()) {
            page = std::make_unique<QWidget>();
            page->setStyleSheet(QStringLiteral("QWidget { background: blue } QLineEdit { background: white }"));
            auto* edit = new QLineEdit(page.get());
            edit->setGeometry(20, 40, 400, 30);
            page->resize(500, 120);
            page->showFullScreen();
            window = page->windowHandle();
            field = edit;
        } else {
            engine.loadData(WindowQml);
            ASSERT_FALSE(engine.rootObjects().isEmpty());
            window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
            window->showFullScreen();
            field = window->findChild<QQuickItem*>(QStringLiteral("field"));
        }
        QTest::qWait(400);
        window->requestActivate();
        ASSERT_TRUE(QMetaObject::invokeMethod(field, widgetApp() ? "setFocus" : "forceActiveFocus"));
        QTest::qWait(400);
        state = findPanel();
        ASSERT_NE(state, nullptr);
        ASSERT_EQ(state->isWidgetType(), widgetApp()) << "a widget application gets the widget panel";
        panel = widgetApp() ? static_cast<QWidget*>(state)->windowHandle() : static_cast<QWindow*>(state);
        ASSERT_TRUE(panel && panel->isVisible());
        scale = panel->width() / 240.0;
    }
    QImage screenshot(const QString& name)
    {
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QString dir = qEnvironmentVariable("DIRORU_SCREENSHOT_DIR", QDir::tempPath());
        QDir().mkpath(dir);
        shot.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        return shot;
    }
    QPoint screenKeyCentre(int key) const
    {
        return panel->geometry().topLeft() + (QPointF(keyCentre(key)) * scale).toPoint();
    }
    void click(std::initializer_list<int> keys)
    {
        for (int key : keys) {
            const QPoint at = screenKeyCentre(key);
            ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                 QStringLiteral("click"), QStringLiteral("1")}));
            QTest::qWait(60);
        }
        QTest::qWait(200);
    }
    QString text() const { return field->property("text").toString(); }
    QRect fieldRect() const
    {
        if (auto* item = qobject_cast<QQuickItem*>(field))
            return QRectF(item->mapToGlobal(QPointF(0, 0)), QSizeF(item->width(), item->height())).toAlignedRect();
        auto* widget = static_cast<QWidget*>(field);
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    // Pixels of the panel's area that show the application window instead.
    static int covered(const QImage& shot, const QRect& area, QRgb app)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); y += 4)
            for (int x = area.left(); x <= area.right(); x += 4)
                count += (shot.pixel(x, y) & 0xFFFFFF) == (app & 0xFFFFFF);
        return count;
    }

    QQmlApplicationEngine engine;
    std::unique_ptr<QWidget> page;
    QWindow* window = nullptr;
    QObject* field = nullptr;
    QWindow* panel = nullptr;
    QObject* state = nullptr; // answers panelState()
    qreal scale = 1;
};

// Above a full-screen window, typing by real clicks; then, the window made
// ordinary, keys of their physical size (DIRORU_PANEL_SCALE as the script set
// it), real key presses through XTest, and a field at the bottom not covered.
TEST_F(PanelX11, FullScreenThenOrdinaryWindow)
{
    open();
    EXPECT_EQ(window->visibility(), QWindow::FullScreen);
    window->raise(); // the application raising itself must not cover the panel
    window->requestActivate();
    QTest::qWait(300);
    EXPECT_EQ(covered(screenshot(QStringLiteral("fullscreen-panel")), panel->geometry(), qRgb(0, 0, 255)), 0);
    click({KeyPie, KeyHeng, KeyShu, KeyHeng, KeyZhe, KeyPie, KeyDian, 5, 0});
    EXPECT_EQ(text(), QStringLiteral("我们"));
    EXPECT_EQ(QGuiApplication::focusObject(), field) << "clicks on the panel leave the focus in the field";

    page ? page->showNormal() : window->showNormal();
    QTest::qWait(400);
    const QScreen* screen = panel->screen();
    const QRect available = screen->availableGeometry();
    const qreal keyPixels = 46 * scale;
    const qreal keyMillimetres = keyPixels / screen->physicalDotsPerInchX() * 25.4;
    const QString setting = qEnvironmentVariable("DIRORU_PANEL_SCALE", QStringLiteral("auto"));
    bool numeric = false;
    const qreal wanted = setting.toDouble(&numeric);
    std::printf("scale %s: key %.1f px, %.1f mm at %.0f dpi\n", qPrintable(setting), keyPixels,
                keyMillimetres, screen->physicalDotsPerInchX());
    if (numeric)
        EXPECT_DOUBLE_EQ(scale, wanted);
    else
        EXPECT_GE(keyMillimetres, 9.0);
    QImage shot = screenshot(QStringLiteral("scale-") + setting);
    // The key face is really that large on screen: its pixels differ from the
    // blue window both just inside its left and its right edge.
    const QPoint centre = screenKeyCentre(KeyHeng);
    const int half = int(keyPixels / 2) - 3;
    for (int dx : {-half, half})
        EXPECT_NE(shot.pixel(centre.x() + dx, centre.y()) & 0xFFFFFF, 0x0000FFu);

    // h is a stroke, the candidates get numbers, 1 chooses.
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("h")}));
    QTest::qWait(300);
    const QVariantMap shown = panelState(state);
    EXPECT_EQ(shown.value(QStringLiteral("strokes")).toString(), QStringLiteral("1"));
    EXPECT_EQ(text(), QStringLiteral("我们"));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("1")}));
    QTest::qWait(300);
    EXPECT_EQ(text(), QStringLiteral("我们") + shown.value(QStringLiteral("cells")).toStringList().value(5));

    window->setPosition(available.left() + 100, available.bottom() - window->height() - 20);
    QTest::qWait(600);
    shot = screenshot(QStringLiteral("bottom-field"));
    EXPECT_FALSE(panel->geometry().intersects(fieldRect()));
    EXPECT_TRUE(available.contains(panel->geometry()));
    EXPECT_EQ(covered(shot, panel->geometry(), qRgb(0, 0, 255)), 0);
    click({KeyHeng, 5});
    EXPECT_EQ(text().size(), 4);
}

} // namespace

int main(int argc, char** argv)
{
    TinyPack& tinyPack = prepareInputContext(DIRORU_QTPLUGIN_PATH);
    // The real key faces when the script names the built pack: the
    // screenshots then show the panel as users see it.
    const QString built = qEnvironmentVariable("DIRORU_PACK_DIR");
    for (const char* image : {"InputW_Stroke_Entry.gif", "InputW_Stroke_Entry_Ext.gif"})
        QFile::copy(built + QLatin1Char('/') + QLatin1String(image), tinyPack.dir() + QLatin1String(image));
    std::unique_ptr<QGuiApplication> app(widgetApp() ? new QApplication(argc, argv) : new QGuiApplication(argc, argv));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
