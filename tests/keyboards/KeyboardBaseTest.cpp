#include "KeyboardTestSupport.h"

#include <QApplication>
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
        writeImage(QStringLiteral("kbd.gif"));
        kbd = std::make_unique<ProbeKBD>(&owner, QStringLiteral("kbd.gif"));
        owner.Keyboard = kbd.get();
        for (int cell = 0; cell < CKBD::CellCount; ++cell)
            kbd->Words[cell] = QString(QChar(u'一' + cell));
        owner.grab(); // the first paint asks for the whole keyboard
    }

    const QImage& canvas() { return owner.canvas(); }
    std::unique_ptr<ProbeKBD> kbd;
};

} // namespace

TEST_F(KeyboardBase, HitTestTruncatesTowardZero)
{
    EXPECT_EQ(CKBD::keyAt(QPoint(-42, -31)), 0); // still column 0, row 0
    EXPECT_EQ(CKBD::keyAt(QPoint(-44, 10)), -1);
    EXPECT_EQ(CKBD::keyAt(QPoint(238, 143)), 24);
    EXPECT_EQ(CKBD::keyAt(QPoint(239, 10)), -1);
}

TEST_F(KeyboardBase, BackSpaceRepeatsFromTheThirdTickOfAHold)
{
    press(keyCentre(14));
    tick();
    tick(); // 600 ms
    release(keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 1); // a short tap acts once, on release

    press(keyCentre(14));
    for (int expected : {0, 0, 1, 2, 3, 4}) { // 300 .. 1800 ms
        tick();
        EXPECT_EQ(owner.BackSpaces, 1 + expected);
    }
    release(keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 5);
    EXPECT_EQ(kbd->TimerId, 0);

    // After that hold, sliding onto backspace and letting go is one tap.
    press(keyCentre(13));
    moveTo(keyCentre(14));
    release(keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 6);

    // Ticks of another timer of the owner are not repeats; sliding off stops them.
    press(keyCentre(14));
    QTimerEvent foreign(kbd->TimerId + 1000);
    for (int i = 0; i < 5; ++i)
        kbd->timerEvent(&foreign);
    moveTo(keyCentre(15));
    EXPECT_EQ(kbd->TimerId, 0);
    release(keyCentre(15));
    EXPECT_EQ(owner.BackSpaces, 6);
    EXPECT_EQ(kbd->Actions, QStringList{QStringLiteral("next")});
}

TEST_F(KeyboardBase, DragPassesTheHoldAndReleaseBoundsDecideTheAction)
{
    press(keyCentre(3));
    moveTo(keyCentre(8));
    EXPECT_TRUE(drawn(3, false));
    EXPECT_TRUE(drawn(8, true));
    moveTo(QPoint(300, 60)); // on no key: the hold stays
    EXPECT_TRUE(drawn(8, true));
    release(keyCentre(8));
    EXPECT_TRUE(drawn(8, false));
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[8]});

    for (QPoint outside : {QPoint(241, 20), QPoint(20, -1)}) {
        press(keyCentre(4));
        release(outside);
        EXPECT_TRUE(drawn(4, false));
    }
    press(QPoint(239, 20)); // right of the keys: holds nothing
    EXPECT_EQ(kbd->PressedKey, -1);
    release(QPoint(239, 20));
    EXPECT_EQ(owner.Selected.size(), 1);

    kbd->Words[2].clear();
    type({2}); // an empty cell chooses nothing
    type({19});
    EXPECT_EQ(owner.Selected.size(), 1);
    EXPECT_EQ(owner.Shifts, 1);
}

TEST_F(KeyboardBase, LineAreaTakesKeysOneToThreeAndShowsSevenCharacters)
{
    kbd->setIsLineArea(true);
    type({1, 2, 3, 4});
    EXPECT_EQ(kbd->Actions, QStringList(3, QStringLiteral("line")));
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[4]});
    press(keyCentre(2)); // the whole line is held, one face across
    for (int key : {1, 3}) // the test image's blue is 200 everywhere
        EXPECT_EQ(qBlue(canvas().pixel(CKBD::keyRect(key).topLeft() + QPoint(1, 1))), 255 - 200);
    release(keyCentre(2));

    TestOwner other;
    ProbeKBD second(&other, QStringLiteral("kbd.gif"));
    second.setIsLineArea(true);
    kbd->SetLine(QStringLiteral("一二三四五六七八九"));
    second.SetLine(QStringLiteral("三四五六七八九"));
    const QRect line = CKBD::lineRect();
    EXPECT_EQ(canvas().copy(line), other.canvas().copy(line));
    second.SetLine(QStringLiteral("一二三四五六七"));
    EXPECT_NE(canvas().copy(line), other.canvas().copy(line));
}

TEST_F(KeyboardBase, LineAreaOffShowsCellsOneToThreeAgain)
{
    const QImage cellsShown = canvas().copy();
    kbd->setIsLineArea(true);
    kbd->SetLine(QStringLiteral("一丨"));
    kbd->setIsLineArea(false);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_EQ(canvas(), cellsShown);
    kbd->Line = QStringLiteral("kept");
    kbd->setIsLineArea(false); // already off: nothing changes
    EXPECT_EQ(kbd->Line, QStringLiteral("kept"));

    kbd->ShowDefaultRecords(5, 9);
    kbd->ShowDefaultRecords(10, 9);
    EXPECT_EQ(cells(*kbd, 4, 9), kbd->Words[4] + QStringLiteral("：，。？！"));
    __DefaultWords = QStringLiteral("；“"); // too short: the rest stay empty
    kbd->ShowDefaultRecords(0, 9);
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“________"));
}

TEST_F(KeyboardBase, PressedKeyIsTheImageInverted)
{
    const QRect key = CKBD::keyRect(11);
    press(keyCentre(11));
    QImage expected = image.copy(key);
    expected.invertPixels(QImage::InvertRgb);
    EXPECT_EQ(differingPixels(canvas().copy(key), expected, expected.rect()), 0);
    release(keyCentre(11));
    EXPECT_EQ(differingPixels(canvas(), image, key), 0);

    const QRect cell = CKBD::keyRect(6);
    EXPECT_TRUE(drawn(6, false));
    EXPECT_GT(differingPixels(canvas(), image, cell), 20); // its text
    __FontRevColor = QColor(Qt::red);
    press(keyCentre(6));
    EXPECT_TRUE(drawn(6, true));
    EXPECT_GT(countPixels(canvas(), cell, [](QRgb p, QPoint) { return isRed(p); }), 5);
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
    EXPECT_GT(countPixels(canvas(), CKBD::keyRect(5), [](QRgb p, QPoint) { return qGray(p) < 100; }), 10);
    press(keyCentre(12));
    EXPECT_EQ(QColor(canvas().pixel(CKBD::keyRect(12).topLeft())).red(), 255 - QColor(Qt::lightGray).red());
    release(keyCentre(12));
    owner.resize(260, 150);
    EXPECT_FALSE(owner.isCanvasCurrent());
    owner.Keyboard = kbd.get();
    owner.grab();
    EXPECT_TRUE(owner.isCanvasCurrent());

    owner.show();
    press(keyCentre(14));
    ASSERT_NE(kbd->TimerId, 0);
    QTimerEvent repeat(kbd->TimerId);
    kbd->timerEvent(&repeat);
    EXPECT_EQ(kbd->RepeatCount, -1);
    owner.hide(); // no release will come: the held key is let go
    EXPECT_EQ(kbd->TimerId, 0);
    EXPECT_TRUE(drawn(14, false));
    EXPECT_EQ(owner.BackSpaces, 0);

    // Without an owner a keyboard draws, times and reports nothing.
    ProbeKBD orphan(nullptr, QStringLiteral("kbd.gif"));
    orphan.Words[0] = QStringLiteral("x");
    for (int key : {0, 19, 14}) {
        QMouseEvent event(QEvent::MouseButtonPress, keyCentre(key), keyCentre(key), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        orphan.mousePressEvent(&event);
        orphan.mouseReleaseEvent(&event);
    }
    orphan.paintEvent(nullptr);
    EXPECT_EQ(orphan.TimerId, 0);
}
