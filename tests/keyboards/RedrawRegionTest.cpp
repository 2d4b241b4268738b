// What a tap makes the shown panel repaint: the regions of its paint events,
// as the platform delivers them.
#include "CBHKBD.h"
#include "KeyboardTestSupport.h"

#include <QApplication>
#include <QPaintEvent>

namespace {

class PaintRegions : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

void send(QWidget& owner, QEvent::Type type, int key)
{
    const QPointF at(CKBD::keyRect(key).center());
    QMouseEvent event(type, at, owner.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&owner, &event);
}

class RedrawRegion : public KeyboardTest
{
};

} // namespace

TEST_F(RedrawRegion, PressAndReleaseRepaintOnlyWhatChanged)
{
    QByteArray strokes; // 一 and 十: codes 1 and 12
    for (auto [w0, ch] : {std::pair{1u, u'一'}, {1u | 2u << 3, u'十'}}) {
        appendU32(strokes, w0);
        appendU32(strokes, 0);
        appendU16(strokes, 0);
        appendU16(strokes, ch);
    }
    dir.write(QStringLiteral("bs.dat"), strokes);
    writeKeyboardImage(dir, QStringLiteral("kbd.png"));
    CBHKBD kbd(&owner, QStringLiteral("kbd.png"));
    owner.Keyboard = &kbd;
    kbd.Reset(true);
    kbd.onShow();
    owner.show();
    QApplication::processEvents();
    PaintRegions regions;
    owner.installEventFilter(&regions);

    const auto tap = [&](int key, const QRegion& released) {
        regions.painted = QRegion();
        send(owner, QEvent::MouseButtonPress, key);
        QApplication::processEvents();
        EXPECT_EQ(regions.painted, QRegion(CKBD::keyRect(key))) << "press of key " << key;
        regions.painted = QRegion();
        send(owner, QEvent::MouseButtonRelease, key);
        QApplication::processEvents();
        EXPECT_EQ(regions.painted, released) << "release of key " << key;
    };
    // A stroke: the key, the line, the candidate cells and the two promoted
    // cells; keys 1 to 3 lie under the line, the other keys stay.
    QRegion stroke = QRegion(CKBD::keyRect(11)) + CKBD::lineRect();
    for (int cell : {0, 4, 5, 6, 7, 8, 9})
        stroke += CKBD::keyRect(cell);
    tap(11, stroke);
    // A code that matches nothing: the line and cells 5 to 9.
    QRegion none = QRegion(CKBD::keyRect(17)) + CKBD::lineRect();
    for (int cell = 5; cell <= 9; ++cell)
        none += CKBD::keyRect(cell);
    tap(17, none);
    // Further strokes are refused: only the key itself.
    tap(12, QRegion(CKBD::keyRect(12)));
    EXPECT_EQ(kbd.StrokeCode, QStringLiteral("15"));
}
