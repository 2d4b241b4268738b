#pragma once

#include "CIMEWidget.h"
#include "CKBD.h"
#include "KeyboardGlobals.h"
#include "PanelTaps.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>
#include <QTimerEvent>


// An owner that records the three notifications and shows one keyboard.
class TestOwner : public CIMEWidget
{
public:
    TestOwner() { resize(PanelWidth, PanelHeight); }

    CKBD* currentKeyboard() const override { return Keyboard; }
    void onShiftKBD(CKBD*) override { ++Shifts; }
    void onSelect(CKBD*, const QString& text) override { Selected << text; }
    void onBackSpace(CKBD*) override { ++BackSpaces; }

    CKBD* Keyboard = nullptr;
    QStringList Selected;
    int BackSpaces = 0;
    int Shifts = 0;
};

inline QString cells(const CKBD& kbd, int first = 0, int last = CKBD::CellCount - 1)
{
    QString out;
    for (int cell = first; cell <= last; ++cell)
        out += kbd.Words[cell].isEmpty() ? QStringLiteral("_") : kbd.Words[cell];
    return out;
}

inline QRgb inverted(QRgb pixel)
{
    return qRgb(255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel));
}

// Pixels of rect on image for which test holds.
template <typename Test>
int countPixels(const QImage& image, const QRect& rect, Test test)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += test(image.pixel(x, y), QPoint(x, y)) ? 1 : 0;
    return count;
}

// Pixels of rect on the canvas that differ from the same pixels of face.
inline int differingPixels(const QImage& canvas, const QImage& face, const QRect& rect)
{
    return countPixels(canvas, rect, [&face](QRgb p, QPoint at) {
        return (p & 0xFFFFFF) != (face.pixel(at) & 0xFFFFFF);
    });
}

inline bool isRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

// Sets the globals as the plugin component does and restores them after.
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
    }
    void TearDown() override { AppPath.clear(); }

    // Pointer events through the owner, which passes them to its keyboard.
    void press(QPoint at) { sendMouse(&owner, QEvent::MouseButtonPress, at); }
    void moveTo(QPoint at) { sendMouse(&owner, QEvent::MouseMove, at); }
    void release(QPoint at) { sendMouse(&owner, QEvent::MouseButtonRelease, at); }
    void type(const std::vector<int>& keys) { tapKeys(&owner, keys); }
    // One tick of the keyboard's repeat timer, 300 ms of holding.
    void tick()
    {
        QTimerEvent event(owner.Keyboard->TimerId);
        owner.Keyboard->timerEvent(&event);
    }
    // Taps each step's keys (ResetKeyboard resets the keyboard), then checks
    // the cells: all ten when ten are given ('_' for an empty one), else 5 to 9.
    static constexpr int ResetKeyboard = -1;
    struct Step {
        std::vector<int> keys;
        QString cells;
    };
    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            for (int key : step.keys)
                key == ResetKeyboard ? owner.Keyboard->Reset(true) : type({key});
            const bool all = step.cells.size() == CKBD::CellCount;
            EXPECT_EQ(cells(*owner.Keyboard, all ? 0 : 5), step.cells) << "after " << step.keys.size() << " keys";
        }
    }
    // Saves the keyboard image under name (PNG bytes; Qt detects the format).
    void writeImage(const QString& name) { image.save(dir.path(name), "PNG"); }
    // Whether key shows the image's face, inverted when pressed.
    bool drawn(int key, bool pressed)
    {
        const QPoint at = CKBD::keyRect(key).topLeft() + QPoint(1, 1);
        const QRgb face = pressed ? inverted(image.pixel(at)) : image.pixel(at);
        return (owner.canvas().pixel(at) & 0xFFFFFF) == (face & 0xFFFFFF);
    }

    const QImage image = keyboardImage();
    TestDir dir;
    TestOwner owner;
};
