#pragma once

#include "CIMEWidget.h"
#include "CKBD.h"
#include "KeyboardGlobals.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QStringList>
#include <QTimerEvent>

#include <ostream>

// Readable failures for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

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

inline QPoint keyCentre(int key)
{
    return CKBD::keyRect(key).center();
}

inline void sendMouse(CKBD& kbd, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(at), Qt::LeftButton, held, Qt::NoModifier);
    if (type == QEvent::MouseButtonPress)
        kbd.mousePressEvent(&event);
    else if (type == QEvent::MouseMove)
        kbd.mouseMoveEvent(&event);
    else
        kbd.mouseReleaseEvent(&event);
}

inline void press(CKBD& kbd, QPoint at) { sendMouse(kbd, QEvent::MouseButtonPress, at); }
inline void moveTo(CKBD& kbd, QPoint at) { sendMouse(kbd, QEvent::MouseMove, at); }
inline void release(CKBD& kbd, QPoint at) { sendMouse(kbd, QEvent::MouseButtonRelease, at); }

inline void tap(CKBD& kbd, int key)
{
    press(kbd, keyCentre(key));
    release(kbd, keyCentre(key));
}

inline void type(CKBD& kbd, std::initializer_list<int> keys)
{
    for (int key : keys)
        tap(kbd, key);
}

// One tick of the keyboard's repeat timer, 300 ms of holding.
inline void tick(CKBD& kbd)
{
    QTimerEvent event(kbd.TimerId);
    kbd.timerEvent(&event);
}

inline QString cells(const CKBD& kbd, int first = 0, int last = CKBD::CellCount - 1)
{
    QString out;
    for (int cell = first; cell <= last; ++cell)
        out += kbd.Words[cell].isEmpty() ? QStringLiteral("_") : kbd.Words[cell];
    return out;
}

// A keyboard image whose every pixel differs from its inverse and from its
// neighbours' inverses, saved under name (PNG bytes; Qt detects the format).
inline QImage writeKeyboardImage(const TestDir& dir, const QString& name)
{
    QImage image(CIMEWidget::PanelWidth, CIMEWidget::PanelHeight, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, 40 + y, 200));
    image.save(dir.path(name), "PNG");
    return image;
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

    TestDir dir;
    TestOwner owner;
};
