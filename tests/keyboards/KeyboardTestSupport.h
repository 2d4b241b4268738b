#pragma once

#include "CIMEWidget.h"
#include "CKBD.h"
#include "KeyboardGlobals.h"
#include "PanelTaps.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTimerEvent>

#include <memory>

// An owner that records the three notifications and the drawn regions, and
// shows one keyboard.
class TestOwner : public CIMEWidget
{
public:
    TestOwner() { resize(PanelWidth, PanelHeight); }

    CKBD* currentKeyboard() const override { return Keyboard; }
    void onShiftKBD(CKBD*) override { ++Shifts; }
    void onSelect(CKBD*, const QString& text) override { Selected << text; }
    void onBackSpace(CKBD*) override { ++BackSpaces; }
    void updateSurface(const QRect& rect) override { Flushed += rect; CIMEWidget::updateSurface(rect); }

    CKBD* Keyboard = nullptr;
    QRegion Flushed; // what the keyboards drew
    QStringList Selected;
    int BackSpaces = 0, Shifts = 0;
};

// The texts of cells first to last, '_' for an empty one.
inline QString cells(const CKBD& kbd, int first = 0, int last = CKBD::CellCount - 1)
{
    QString out;
    for (int cell = first; cell <= last; ++cell)
        out += kbd.Words[cell].isEmpty() ? QStringLiteral("_") : kbd.Words[cell];
    return out;
}

// The globals as the plug-in component sets them, the test image as
// kbd.gif (Qt reads an image by its contents) and a recording owner.
class KeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppPath = dir.dir();
        __BHTable = QStringLiteral("空一丨丿丶乛空？");
        __DefaultWords = QStringLiteral("；“”、…：，。？！");
        __FontColor = QColor(Qt::black);
        __FontRevColor = QColor(Qt::white);
        image.save(dir.path(QStringLiteral("kbd.gif")), "PNG");
    }
    void TearDown() override { AppPath.clear(); }

    // A new K the owner's keyboard, drawn whole.
    template <typename K>
    K& show(const QString& imageName = QStringLiteral("kbd.gif"))
    {
        keyboard = std::make_unique<K>(&owner, imageName);
        owner.Keyboard = keyboard.get();
        owner.invalidateCanvas();
        owner.grab();
        return static_cast<K&>(*keyboard);
    }

    void press(QPoint at) { sendMouse(&owner, QEvent::MouseButtonPress, at); }
    void moveTo(QPoint at) { sendMouse(&owner, QEvent::MouseMove, at); }
    void release(QPoint at) { sendMouse(&owner, QEvent::MouseButtonRelease, at); }
    void type(const std::vector<int>& keys) { tapKeys(&owner, keys); }
    // One tick of the keyboard's repeat timer, 300 ms of holding.
    void tick()
    {
        QTimerEvent event(keyboard->TimerId);
        keyboard->timerEvent(&event);
    }
    // Taps each step's keys (ResetKeyboard resets the keyboard), then checks
    // the cells: all ten when ten are given, else cells 5 to 9.
    static constexpr int ResetKeyboard = -1;
    struct Step {
        std::vector<int> keys;
        QString cells;
    };
    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            for (int key : step.keys)
                key == ResetKeyboard ? keyboard->Reset(true) : type({key});
            const bool all = step.cells.size() == CKBD::CellCount;
            EXPECT_EQ(cells(*keyboard, all ? 0 : 5), step.cells) << "after " << step.keys.size() << " keys";
        }
    }
    // Pixels of rect on the canvas for which test(pixel, point) holds.
    template <typename Test>
    int pixels(const QRect& rect, Test test)
    {
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += test(owner.canvas().pixel(x, y), QPoint(x, y)) ? 1 : 0;
        return count;
    }
    // Pixels of rect on the canvas other than the same pixels of face.
    int differing(const QRect& rect, const QImage& face)
    {
        return pixels(rect, [&face](QRgb p, QPoint at) { return ((p ^ face.pixel(at)) & 0xFFFFFF) != 0; });
    }
    // Whether key shows the image's face, inverted when pressed.
    bool drawn(int key, bool pressed)
    {
        return differing(QRect(CKBD::keyRect(key).topLeft() + QPoint(1, 1), QSize(1, 1)), pressed ? inverted : image) == 0;
    }
    int redPixels(const QRect& rect)
    {
        return pixels(rect, [](QRgb p, QPoint) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; });
    }

    const QImage image = keyboardImage();
    const QImage inverted = [] {
        QImage face = keyboardImage();
        face.invertPixels();
        return face;
    }();
    TestDir dir;
    TestOwner owner;
    std::unique_ptr<CKBD> keyboard;
};
