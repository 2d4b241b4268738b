#include "KeyboardTestSupport.h"

#include <QApplication>
#include <QPainter>

namespace {

// A keyboard with no meaning of its own: records the actions the base dispatches.
class ProbeKBD : public CKBD
{
public:
    using CKBD::CKBD;
    void Reset(bool) override {}
    void ShowRecords() override {}
    void onPrior() override { Actions << QStringLiteral("prior"); }
    void onNext() override { Actions << QStringLiteral("next"); }
    void onLineClick() override { Actions << QStringLiteral("line"); }
    void onClick(int key) override { Actions << QStringLiteral("click%1").arg(key); }

    QStringList Actions;
};

class KeyboardBase : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        image = writeKeyboardImage(dir, QStringLiteral("kbd.gif"));
        kbd = std::make_unique<ProbeKBD>(&owner, QStringLiteral("kbd.gif"));
        owner.Keyboard = kbd.get();
        for (int cell = 0; cell < CKBD::CellCount; ++cell)
            kbd->Words[cell] = QString(QChar(u'一' + cell));
        owner.grab(); // the first paint asks for the whole keyboard
    }

    const QImage& canvas() { return owner.canvas(); }
    QRgb corner(int key) { return canvas().pixel(CKBD::keyRect(key).topLeft() + QPoint(1, 1)); }
    QRgb imageCorner(int key) { return image.pixel(CKBD::keyRect(key).topLeft() + QPoint(1, 1)); }
    bool drawnPressed(int key) { return (corner(key) & 0xFFFFFF) == (inverted(imageCorner(key)) & 0xFFFFFF); }
    bool drawnReleased(int key) { return (corner(key) & 0xFFFFFF) == (imageCorner(key) & 0xFFFFFF); }

    QImage image;
    std::unique_ptr<ProbeKBD> kbd;
};

} // namespace

TEST_F(KeyboardBase, HitTestFollowsTheGridAndTruncatesTowardZero)
{
    EXPECT_EQ(CKBD::keyAt(QPoint(4, 3)), 0);
    EXPECT_EQ(CKBD::keyAt(QPoint(-42, -31)), 0); // truncation: still column 0, row 0
    EXPECT_EQ(CKBD::keyAt(QPoint(-44, 10)), -1);
    EXPECT_EQ(CKBD::keyAt(QPoint(238, 143)), 24);
    EXPECT_EQ(CKBD::keyAt(QPoint(239, 10)), -1);
    EXPECT_EQ(CKBD::keyAt(keyCentre(13)), 13);
    EXPECT_EQ(CKBD::keyRect(19), QRect(191, 108, 46, 34));
    EXPECT_EQ(CKBD::lineRect(), QRect(50, 3, 140, 34));
}

TEST_F(KeyboardBase, ShortTapOfBackSpaceActsOnceOnRelease)
{
    press(*kbd, keyCentre(14));
    ASSERT_NE(kbd->TimerId, 0);
    tick(*kbd);
    tick(*kbd); // 600 ms
    EXPECT_EQ(owner.BackSpaces, 0);
    release(*kbd, keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 1);
    EXPECT_EQ(kbd->TimerId, 0);
}

TEST_F(KeyboardBase, HeldBackSpaceRepeatsFromTheThirdTickAndNotOnRelease)
{
    press(*kbd, keyCentre(14));
    const int counts[] = {0, 0, 1, 2, 3, 4}; // after 300 .. 1800 ms
    for (int expected : counts) {
        tick(*kbd);
        EXPECT_EQ(owner.BackSpaces, expected);
    }
    release(*kbd, keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 4);

    // A tick of some other timer of the owner is not a repeat.
    press(*kbd, keyCentre(14));
    QTimerEvent foreign(kbd->TimerId + 1000);
    for (int i = 0; i < 5; ++i)
        kbd->timerEvent(&foreign);
    release(*kbd, keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 5);
}

TEST_F(KeyboardBase, TapAfterALongHoldIsNotTakenForARepeat)
{
    press(*kbd, keyCentre(14));
    for (int i = 0; i < 4; ++i)
        tick(*kbd);
    release(*kbd, keyCentre(14));
    ASSERT_EQ(owner.BackSpaces, 2);

    // Slide onto backspace from another key: no timer, one backspace on release.
    press(*kbd, keyCentre(13));
    moveTo(*kbd, keyCentre(14));
    EXPECT_EQ(kbd->TimerId, 0);
    release(*kbd, keyCentre(14));
    EXPECT_EQ(owner.BackSpaces, 3);
    EXPECT_TRUE(kbd->Actions.isEmpty());
}

TEST_F(KeyboardBase, DraggingPassesTheHoldAndTheActionToTheLastKey)
{
    press(*kbd, keyCentre(3));
    EXPECT_TRUE(drawnPressed(3));
    moveTo(*kbd, keyCentre(8));
    EXPECT_TRUE(drawnReleased(3));
    EXPECT_TRUE(drawnPressed(8));
    moveTo(*kbd, QPoint(300, 60)); // on no key: the hold stays
    EXPECT_EQ(kbd->PressedKey, 8);
    release(*kbd, keyCentre(8));
    EXPECT_TRUE(drawnReleased(8));
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[8]});

    // Sliding off backspace ends its repetition.
    press(*kbd, keyCentre(14));
    tick(*kbd);
    moveTo(*kbd, keyCentre(15));
    EXPECT_EQ(kbd->TimerId, 0);
    release(*kbd, keyCentre(15));
    EXPECT_EQ(owner.BackSpaces, 0);
    EXPECT_EQ(kbd->Actions, QStringList{QStringLiteral("next")});
}

TEST_F(KeyboardBase, ReleaseOutsideTheBoundsRunsNoAction)
{
    press(*kbd, keyCentre(4));
    moveTo(*kbd, QPoint(260, 20));
    EXPECT_TRUE(drawnPressed(4));
    release(*kbd, QPoint(260, 20));
    EXPECT_TRUE(drawnReleased(4));
    EXPECT_EQ(kbd->PressedKey, -1);

    press(*kbd, keyCentre(15));
    release(*kbd, QPoint(20, -1));
    press(*kbd, keyCentre(15));
    release(*kbd, QPoint(240, 143)); // the right edge still counts
    EXPECT_TRUE(owner.Selected.isEmpty());
    EXPECT_EQ(kbd->Actions, QStringList{QStringLiteral("next")});
}

TEST_F(KeyboardBase, PressRightOfTheKeysHoldsNothing)
{
    const QImage before = canvas().copy();
    press(*kbd, QPoint(239, 20));
    EXPECT_EQ(kbd->PressedKey, -1);
    release(*kbd, QPoint(239, 20));
    EXPECT_EQ(canvas(), before);
    EXPECT_TRUE(owner.Selected.isEmpty());
}

TEST_F(KeyboardBase, KeysDispatchToTheirActions)
{
    for (int key : {10, 11, 12, 13, 15, 16, 17, 18, 19, 14})
        tap(*kbd, key);
    EXPECT_EQ(kbd->Actions.join(' '),
              QStringLiteral("prior click11 click12 click13 next click16 click17 click18"));
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_EQ(owner.BackSpaces, 1);

    kbd->Words[2].clear();
    tap(*kbd, 2); // an empty cell chooses nothing
    tap(*kbd, 7);
    EXPECT_EQ(owner.Selected, QStringList{kbd->Words[7]});
}

TEST_F(KeyboardBase, LineAreaTakesKeysOneToThree)
{
    kbd->setIsLineArea(true);
    for (int key : {1, 2, 3})
        tap(*kbd, key);
    EXPECT_EQ(kbd->Actions, QStringList(3, QStringLiteral("line")));
    EXPECT_TRUE(owner.Selected.isEmpty());
    tap(*kbd, 0);
    tap(*kbd, 4);
    EXPECT_EQ(owner.Selected, (QStringList{kbd->Words[0], kbd->Words[4]}));

    // Pressing anywhere on the line inverts the whole line area.
    press(*kbd, keyCentre(2));
    EXPECT_TRUE(drawnPressed(1));
    EXPECT_TRUE(drawnPressed(3));
    release(*kbd, keyCentre(2));
    EXPECT_TRUE(drawnReleased(1));
}

TEST_F(KeyboardBase, LineShowsItsLastSevenCharacters)
{
    TestOwner other;
    ProbeKBD second(&other, QStringLiteral("kbd.gif"));
    other.Keyboard = &second;
    for (CKBD* k : {static_cast<CKBD*>(kbd.get()), static_cast<CKBD*>(&second)})
        k->setIsLineArea(true);

    kbd->SetLine(QStringLiteral("一二三四五六七八九"));
    second.SetLine(QStringLiteral("三四五六七八九"));
    const QRect line = CKBD::lineRect();
    EXPECT_EQ(owner.canvas().copy(line), other.canvas().copy(line));
    second.SetLine(QStringLiteral("一二三四五六七"));
    EXPECT_NE(owner.canvas().copy(line), other.canvas().copy(line));
}

TEST_F(KeyboardBase, TurningTheLineAreaOffShowsCellsOneToThreeAgain)
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
    EXPECT_EQ(canvas(), cellsShown);
}

TEST_F(KeyboardBase, DefaultRecordsTakeTheCharacterOfTheCellsOwnIndex)
{
    kbd->ShowDefaultRecords(5, 9);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("，。？！").prepend(QStringLiteral("：")));
    EXPECT_EQ(kbd->Words[4], QString(QChar(u'一' + 4)));
    kbd->ShowDefaultRecords(10, 9);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));

    __DefaultWords = QStringLiteral("；“"); // too short: the rest stay empty
    kbd->ShowDefaultRecords(0, 9);
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“________"));
}

TEST_F(KeyboardBase, PressedKeyIsTheImageInvertedAndCellsCarryTheirText)
{
    const QRect key = CKBD::keyRect(11);
    press(*kbd, keyCentre(11));
    QImage expected = image.copy(key);
    expected.invertPixels(QImage::InvertRgb);
    EXPECT_EQ(differingPixels(canvas().copy(key), expected, expected.rect()), 0);
    release(*kbd, keyCentre(11));
    EXPECT_EQ(differingPixels(canvas(), image, key), 0);

    // An unpressed cell is the image plus its text, in the cell colour.
    const QRect cell = CKBD::keyRect(6);
    EXPECT_TRUE(drawnReleased(6));
    EXPECT_GT(differingPixels(canvas(), image, cell), 20);

    // Pressed: inverted face, text in the pressed colour.
    __FontRevColor = QColor(Qt::red);
    press(*kbd, keyCentre(6));
    EXPECT_TRUE(drawnPressed(6));
    bool redText = false;
    for (int y = cell.top(); y <= cell.bottom() && !redText; ++y)
        for (int x = cell.left(); x <= cell.right() && !redText; ++x)
            redText = qRed(canvas().pixel(x, y)) > 200 && qGreen(canvas().pixel(x, y)) < 60;
    EXPECT_TRUE(redText);
}

TEST_F(KeyboardBase, MissingImageLeavesPlainFacesWithTheTexts)
{
    TestOwner plainOwner;
    ProbeKBD plain(&plainOwner, QStringLiteral("no-such-image.gif"));
    plainOwner.Keyboard = &plain;
    plain.Words[5] = QStringLiteral("中");
    plainOwner.grab();
    const QImage& pic = plainOwner.canvas();
    const QRect cell = CKBD::keyRect(5);
    EXPECT_EQ(QColor(pic.pixel(cell.topLeft())), QColor(Qt::lightGray));
    int dark = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            dark += qGray(pic.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10); // the character is there

    press(plain, keyCentre(12));
    QColor pressedFace(pic.pixel(CKBD::keyRect(12).topLeft()));
    EXPECT_EQ(pressedFace.red(), 255 - QColor(Qt::lightGray).red());
}

TEST_F(KeyboardBase, OwnerAsksForAFullPictureOnlyWhenItHasNone)
{
    ProbeKBD second(&owner, QStringLiteral("no-such-image.gif"));
    second.Words[0] = QStringLiteral("甲");
    EXPECT_TRUE(owner.isCanvasCurrent());

    // A keyboard that is not current draws nothing.
    const QImage before = canvas().copy();
    second.SetWord(5, QStringLiteral("乙"));
    EXPECT_EQ(canvas(), before);

    owner.Keyboard = &second; // switch: the canvas no longer holds its picture
    EXPECT_FALSE(owner.isCanvasCurrent());
    owner.grab();
    EXPECT_TRUE(owner.isCanvasCurrent());
    EXPECT_EQ(QColor(canvas().pixel(CKBD::keyRect(17).topLeft())), QColor(Qt::lightGray));

    owner.invalidateCanvas();
    EXPECT_FALSE(owner.isCanvasCurrent());
    owner.resize(260, 150);
    owner.grab();
    EXPECT_TRUE(owner.isCanvasCurrent());
    EXPECT_EQ(canvas().size(), QSize(260, 150));
}

TEST_F(KeyboardBase, OwnerForwardsPointerEventsAndLetsGoOnHide)
{
    owner.show();
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(keyCentre(14)), QPointF(keyCentre(14)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&owner, &down);
    EXPECT_EQ(kbd->PressedKey, 14);
    ASSERT_NE(kbd->TimerId, 0);
    QTimerEvent repeat(kbd->TimerId);
    QApplication::sendEvent(&owner, &repeat);
    EXPECT_EQ(kbd->RepeatCount, -1);

    owner.hide(); // no release will come
    EXPECT_EQ(kbd->TimerId, 0);
    EXPECT_EQ(kbd->PressedKey, -1);
    EXPECT_TRUE(drawnReleased(14));
    for (int i = 0; i < 5; ++i)
        tick(*kbd);
    EXPECT_EQ(owner.BackSpaces, 0);
}

TEST_F(KeyboardBase, NotificationsWithoutAnOwnerDoNothing)
{
    ProbeKBD orphan(nullptr, QStringLiteral("kbd.gif"));
    orphan.Words[0] = QStringLiteral("x");
    tap(orphan, 0);
    tap(orphan, 19);
    press(orphan, keyCentre(14));
    EXPECT_EQ(orphan.TimerId, 0);
    release(orphan, keyCentre(14));
    orphan.paintEvent(nullptr);
    EXPECT_TRUE(owner.Selected.isEmpty());
}
