#include "KeyboardTestSupport.h"

#include <QMouseEvent>

namespace {

// A keyboard with no meaning of its own: records what the base dispatches.
class ProbeKBD : public CKBD
{
public:
    using CKBD::CKBD;
    void Reset(bool) override {}
    void ShowRecords() override {}
    void onNext() override { Actions << QStringLiteral("next"); }
    void onLineClick() override { Actions << QStringLiteral("line"); }

    QStringList Actions;
};

class KeyboardBase : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        kbd = &show<ProbeKBD>();
        for (int cell = 0; cell < CKBD::CellCount; ++cell)
            kbd->Words[cell] = QString(QChar(u'一' + cell));
        kbd->paintEvent(nullptr);
    }

    const QImage& canvas() { return owner.canvas(); }
    ProbeKBD* kbd = nullptr;
};

} // namespace

TEST_F(KeyboardBase, BackSpaceRepeatsFromTheThirdTickOfAHold)
{
    press(keyCentre(KeyBackspace));
    tick();
    tick(); // 600 ms
    release(keyCentre(KeyBackspace));
    EXPECT_EQ(owner.BackSpaces, 1); // a short tap acts once, on release

    press(keyCentre(KeyBackspace));
    for (int expected : {1, 1, 2, 3, 4, 5}) { // 300 .. 1800 ms
        tick();
        EXPECT_EQ(owner.BackSpaces, expected);
    }
    release(keyCentre(KeyBackspace));
    EXPECT_EQ(owner.BackSpaces, 5);
    EXPECT_EQ(kbd->TimerId, 0);

    // After that hold, sliding onto backspace and letting go is one tap.
    press(keyCentre(13));
    moveTo(keyCentre(KeyBackspace));
    release(keyCentre(KeyBackspace));
    EXPECT_EQ(owner.BackSpaces, 6);

    // Ticks of another timer of the owner are not repeats; sliding off stops them.
    press(keyCentre(KeyBackspace));
    QTimerEvent foreign(kbd->TimerId + 1000);
    for (int i = 0; i < 5; ++i)
        kbd->timerEvent(&foreign);
    moveTo(keyCentre(KeyNext));
    EXPECT_EQ(kbd->TimerId, 0);
    release(keyCentre(KeyNext));
    EXPECT_EQ(owner.BackSpaces, 6);
    EXPECT_EQ(kbd->Actions, QStringList{QStringLiteral("next")});
}

// The hit test's divisions truncate toward zero: -42 is still column 0.
TEST_F(KeyboardBase, HitTestDragReleaseBoundsAndPressedFaces)
{
    const std::pair<QPoint, int> hits[] = {{{-42, -31}, 0}, {{-44, 10}, -1}, {{238, 143}, 24}, {{239, 10}, -1}};
    for (auto [at, key] : hits)
        EXPECT_EQ(CKBD::keyAt(at), key) << at.x() << "," << at.y();

    press(keyCentre(3));
    moveTo(keyCentre(8));
    EXPECT_TRUE(drawn(3, false) && drawn(8, true));
    moveTo(QPoint(300, 60)); // on no key: the hold stays
    EXPECT_TRUE(drawn(8, true));
    release(keyCentre(8));
    EXPECT_TRUE(drawn(8, false));
    for (QPoint outside : {QPoint(241, 20), QPoint(20, -1)}) {
        press(keyCentre(4));
        release(outside);
    }
    press(QPoint(239, 20)); // right of the keys: holds nothing
    EXPECT_EQ(kbd->PressedKey, -1);
    release(QPoint(239, 20));
    kbd->Words[2].clear();
    type({2, KeySwitch}); // an empty cell chooses nothing
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[8]});
    EXPECT_EQ(owner.Shifts, 1);

    // A pressed key is the image inverted, its text in the pressed colour.
    press(keyCentre(KeyHeng));
    EXPECT_EQ(differing(CKBD::keyRect(KeyHeng), inverted), 0);
    release(keyCentre(KeyHeng));
    EXPECT_EQ(differing(CKBD::keyRect(KeyHeng), image), 0);
    EXPECT_GT(differing(CKBD::keyRect(6), image), 20);
    __FontRevColor = QColor(Qt::red);
    press(keyCentre(6));
    EXPECT_TRUE(drawn(6, true));
    EXPECT_GT(redPixels(CKBD::keyRect(6)), 5);
}

TEST_F(KeyboardBase, LineAreaTakesKeysOneToThreeAndShowsItsLastSevenCharacters)
{
    const QImage cellsShown = canvas().copy();
    kbd->setIsLineArea(true);
    type({1, 2, 3, 4});
    EXPECT_EQ(kbd->Actions, QStringList(3, QStringLiteral("line")));
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[4]});
    press(keyCentre(2)); // the whole line is held, one face across; the image's blue is 200 everywhere
    EXPECT_EQ(qBlue(canvas().pixel(CKBD::keyRect(3).topLeft() + QPoint(1, 1))), 255 - 200);
    release(keyCentre(2));

    kbd->SetLine(QStringLiteral("三四五六七八九"));
    const QImage lastSeven = canvas().copy(CKBD::lineRect());
    kbd->SetLine(QStringLiteral("一二三四五六七八九"));
    EXPECT_EQ(canvas().copy(CKBD::lineRect()), lastSeven);

    // Off again: the cells show, the line is forgotten.
    kbd->setIsLineArea(false);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_EQ(differing(canvas().rect(), cellsShown), 0);

    kbd->ShowDefaultRecords(5, 9);
    EXPECT_EQ(cells(*kbd, 4, 9), kbd->Words[4] + QStringLiteral("：，。？！"));
}

TEST_F(KeyboardBase, OwnerPaintsWholeOnlyWithoutAPictureAndForwardsEvents)
{
    ProbeKBD second(&owner, QStringLiteral("no-such-image.gif"));
    const QImage before = canvas().copy();
    second.SetWord(5, QStringLiteral("乙")); // not current: draws nothing
    EXPECT_EQ(canvas(), before);
    owner.Keyboard = &second;
    EXPECT_FALSE(owner.isCanvasCurrent());
    owner.grab(); // a missing image leaves plain faces with the texts
    EXPECT_EQ(QColor(canvas().pixel(CKBD::keyRect(17).topLeft())), QColor(Qt::lightGray));
    owner.Keyboard = kbd;
    owner.grab();
    EXPECT_TRUE(owner.isCanvasCurrent());

    owner.show();
    press(keyCentre(KeyBackspace));
    tick();
    owner.hide(); // no release will come: the held key is let go
    EXPECT_EQ(kbd->TimerId, 0);
    EXPECT_TRUE(drawn(KeyBackspace, false));
    EXPECT_EQ(owner.BackSpaces, 0);

    // Without an owner a keyboard draws, times and reports nothing.
    ProbeKBD orphan(nullptr, QStringLiteral("kbd.gif"));
    orphan.Words[0] = QStringLiteral("x");
    QMouseEvent hold(QEvent::MouseButtonPress, keyCentre(14), keyCentre(14), Qt::LeftButton, Qt::LeftButton, {});
    orphan.mousePressEvent(&hold);
    for (int key : {0, 19, 14})
        orphan.onKeyPressed(key);
    orphan.paintEvent(nullptr);
    EXPECT_EQ(orphan.TimerId, 0);
}
