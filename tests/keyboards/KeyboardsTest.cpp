#include "CBHKBD.h"
#include "CSymKBD.h"
#include "CSymTable.h"
#include "Gbk.h"
#include "PanelTaps.h"
#include "RecordingOwner.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTimerEvent>

#include <algorithm>
#include <memory>

namespace {

// A keyboard with no meaning of its own: records what the base dispatches.
class ProbeKBD : public CKBD
{
public:
    using CKBD::CKBD;
    void Reset(bool) override {}
    void ShowRecords() override {}
    void onLineClick() override { Actions << QStringLiteral("line"); }

    QStringList Actions;
};

const QString Punctuation = QStringLiteral("；“”、…：，。？！");
const QString ZhongFollowers = QStringLiteral("国心间央文华山学医立外部");
constexpr int Table1 = 11, Table2 = 12, CapsLock = 13, Table4 = 16, Table3 = 17, Shift = 18;
const QString Letters = QStringLiteral("abcdefghijklmnopqrstuvwxy"); // 25 symbols
const QString Capitals = Letters.toUpper();
const QStringList StandardLines = {
    Letters, Capitals, QStringLiteral("0123456789"), QStringLiteral(")!@#$%^&*("),
    QStringLiteral("，。？！：；、…“”《》"), QString(), QStringLiteral("xyz"), QStringLiteral("XYZ"),
};

// The test image as kbd.gif (Qt reads an image by its contents), a
// recording owner and the keyboard it shows.
class Keyboards : public ::testing::Test
{
protected:
    Keyboards()
    {
        AppPath = dir.dir();
        image.save(dir.path(QStringLiteral("kbd.gif")), "PNG");
    }

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
    // A probe with a character in every cell.
    ProbeKBD& probe()
    {
        ProbeKBD& kbd = show<ProbeKBD>();
        for (int cell = 0; cell < CKBD::CellCount; ++cell)
            kbd.Words[cell] = QString(QChar(u'一' + cell));
        kbd.paintEvent(nullptr);
        return kbd;
    }
    // 朴 has two records (two stroke orders), as characters in bs.dat often
    // do. word.dat: 中 with twelve followers, 人 with four (村 learned, its
    // odd weight keeps it from being promoted), 日 with an empty list.
    CBHKBD& strokes()
    {
        dir.write(QStringLiteral("bs.dat"),
                  strokeFile({{"1", u'一'}, {"12", u'十'}, {"121", u'土'}, {"12251", u'古'}, {"1234", u'木'},
                              {"12341", u'本'}, {"123424", u'朴'}, {"1234124", u'村'}, {"123442", u'朴'},
                              {"12345", u'权'}, {"251", u'口'}, {"2511", u'日'}, {"2512", u'中'}, {"34", u'人'}}));
        AssociationFiles files;
        files.addEntry(u'中', 12, 0);
        for (int i = 0; i < ZhongFollowers.length(); ++i)
            files.addRecord({ZhongFollowers.at(i).unicode(), quint16(40 - 2 * i)});
        files.add(u'人', {{u'本', 10}, {u'朴', 8}, {u'村', 5}, {u'权', 6}});
        files.add(u'日', {});
        files.writeTo(dir);
        CBHKBD& kbd = show<CBHKBD>();
        kbd.Reset(true);
        kbd.onShow();
        return kbd;
    }
    // A symbol keyboard on Symbols.txt: bytes, or lines in GBK joined by eol.
    CSymKBD& load(const QStringList& lines, const char* eol = "\n") { return load(toGbk(lines.join(eol))); }
    CSymKBD& load(const QByteArray& bytes)
    {
        dir.write(QStringLiteral("Symbols.txt"), bytes);
        return show<CSymKBD>();
    }

    // One tick of the keyboard's repeat timer, 300 ms of holding.
    void tick() { keyboard->timerEvent(nullptr); }
    // Taps each step's keys (ResetKeyboard resets the keyboard), then checks
    // the cells' texts, '_' for an empty one: all ten when ten are given,
    // else cells 5 to 9.
    static constexpr int ResetKeyboard = -1;
    struct Step {
        std::vector<int> keys;
        QString cells;
    };
    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            for (int key : step.keys)
                key == ResetKeyboard ? keyboard->Reset(true) : tapKeys(&owner, {key});
            QString shown;
            for (int cell = step.cells.size() == CKBD::CellCount ? 0 : 5; cell < CKBD::CellCount; ++cell)
                shown += keyboard->Words[cell].isEmpty() ? QStringLiteral("_") : keyboard->Words[cell];
            EXPECT_EQ(shown, step.cells) << "after " << step.keys.size() << " keys";
        }
    }

    const QImage& canvas() { return owner.canvas(); }
    // Whether key shows the image's face, inverted when pressed.
    bool drawn(int key, bool pressed)
    {
        const QPoint at = CKBD::keyRect(key).topLeft() + QPoint(1, 1);
        return canvas().pixel(at) == (image.pixel(at) ^ (pressed ? 0xFFFFFFu : 0u));
    }
    int redPixels(const QRect& rect)
    {
        const QImage part = canvas().copy(rect);
        const auto* p = reinterpret_cast<const QRgb*>(part.constBits());
        const auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
        return int(std::count_if(p, p + part.width() * part.height(), red));
    }

    const QImage image = keyboardImage();
    TestDir dir;
    RecordingOwner owner;
    std::unique_ptr<CKBD> keyboard;
};

} // namespace

TEST_F(Keyboards, BackSpaceRepeatsWhileHeldAndOnlyTheCurrentKeyboardDraws)
{
    ProbeKBD& kbd = probe();
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(KeyBackspace));
    tick();
    tick(); // 600 ms
    sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(KeyBackspace));
    EXPECT_EQ(owner.BackSpaces, 1); // a short tap acts once, on release

    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(KeyBackspace));
    for (int expected : {1, 1, 2, 3, 4, 5}) { // 300 .. 1800 ms
        tick();
        EXPECT_EQ(owner.BackSpaces, expected);
    }
    sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(KeyBackspace));

    // Ticks of another timer of the owner are not repeats; sliding off stops them.
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(KeyBackspace));
    QTimerEvent foreign(kbd.TimerId + 1000);
    for (int i = 0; i < 5; ++i)
        kbd.timerEvent(&foreign);
    sendMouse(&owner, QEvent::MouseMove, keyCentre(KeyNext));
    EXPECT_EQ(kbd.TimerId, 0);
    sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(KeyNext));
    EXPECT_EQ(owner.BackSpaces, 5);

    // A hold ends when the panel hides: no release will come.
    owner.show();
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(KeyBackspace));
    tick();
    owner.hide();
    EXPECT_EQ(kbd.TimerId, 0);

    // A keyboard that is not current draws nothing.
    ProbeKBD second(&owner, QStringLiteral("no-such-image.gif"));
    const QImage before = canvas().copy();
    second.SetWord(5, QStringLiteral("乙"));
    EXPECT_EQ(canvas(), before);
    owner.Keyboard = &second;
    EXPECT_FALSE(owner.isCanvasCurrent());
    owner.grab(); // a missing image leaves plain faces with the texts
    EXPECT_EQ(QColor(canvas().pixel(CKBD::keyRect(17).topLeft())), QColor(Qt::lightGray));
    owner.Keyboard = keyboard.get();

    // Without an owner a keyboard draws, times and reports nothing.
    ProbeKBD orphan(nullptr, QStringLiteral("kbd.gif"));
    orphan.Words[0] = QStringLiteral("x");
    QMouseEvent hold(QEvent::MouseButtonPress, keyCentre(14), keyCentre(14), Qt::LeftButton, Qt::LeftButton, {});
    orphan.mousePressEvent(&hold);
    for (int key : {0, 19, 14})
        orphan.onKeyPressed(key);
    orphan.paintEvent(nullptr);
}

// The hit test's divisions truncate toward zero: -42 is still column 0.
TEST_F(Keyboards, HitTestDragReleaseBoundsPressedFacesAndLineArea)
{
    ProbeKBD& kbd = probe();
    const std::pair<QPoint, int> hits[] = {{{-42, -31}, 0}, {{-44, 10}, -1}, {{238, 143}, 24}, {{239, 10}, -1}};
    for (auto [at, key] : hits)
        EXPECT_EQ(CKBD::keyAt(at), key) << at.x() << "," << at.y();

    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(3));
    sendMouse(&owner, QEvent::MouseMove, keyCentre(8));
    EXPECT_TRUE(drawn(3, false) && drawn(8, true));
    sendMouse(&owner, QEvent::MouseMove, QPoint(300, 60)); // on no key: the hold stays
    sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(8));
    for (QPoint outside : {QPoint(241, 20), QPoint(20, -1)}) {
        sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(4));
        sendMouse(&owner, QEvent::MouseButtonRelease, outside);
    }
    EXPECT_EQ(owner.Selected, QStringList{kbd.Words[8]});

    __FontRevColor = QColor(Qt::red);
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(6));
    EXPECT_GT(redPixels(CKBD::keyRect(6)), 5); // a pressed key's text

    // The line area takes keys 1 to 3 and shows its last seven characters.
    kbd.setIsLineArea(true);
    tapKeys(&owner, {1, 2, 3, 4});
    EXPECT_EQ(kbd.Actions, QStringList(3, QStringLiteral("line")));
    // The whole line is held, one face across; the image's blue is 200 everywhere.
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(2));
    EXPECT_EQ(qBlue(canvas().pixel(CKBD::keyRect(3).topLeft() + QPoint(1, 1))), 255 - 200);
    sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(2));

    kbd.SetLine(QStringLiteral("三四五六七八九"));
    const QImage lastSeven = canvas().copy(CKBD::lineRect());
    kbd.SetLine(QStringLiteral("一二三四五六七八九"));
    EXPECT_EQ(canvas().copy(CKBD::lineRect()), lastSeven);

    // Off again, the line is forgotten.
    kbd.setIsLineArea(false);
    EXPECT_TRUE(kbd.Line.isEmpty());
}

TEST_F(Keyboards, StrokeEditingPagesPromotionAndAssociations)
{
    CBHKBD& kbd = strokes();
    run({
        // 人 and its list, then a stroke matching nothing: later strokes are refused.
        {{KeyPie, 5, KeyDian, KeyHeng, KeyShu}, "本朴权村…：，。？！"},
        // Backspace of the only stroke keeps its query: Next pages it.
        {{14, KeyHeng, KeyShu, 14, 14, 15}, "；“”、…本朴村朴权"},
    });
    EXPECT_FALSE(kbd.IsLineArea);
    // A tap on the line clears the code; the line area stays for the next one.
    tapKeys(&owner, {KeyHeng, KeyShu, 2});
    EXPECT_TRUE(kbd.StrokeCode.isEmpty() && kbd.Line.isEmpty() && kbd.IsLineArea);

    run({
        {{ResetKeyboard, KeyShu, 7}, ZhongFollowers.left(10)}, // 中
        {{15, 15}, ZhongFollowers.mid(10) + QStringLiteral("”、…：，。？！")},
        {{10, 10, 15}, ZhongFollowers.left(10)}, // by the punctuation page
        {{3}, Punctuation}, // 央 has no list
        // A space or a punctuation mark ends stroke input without a list.
        {{KeyShu, KeyZhe, 0, KeyPie, 6}, " “”、 人，。？！"},
    });
    EXPECT_EQ(owner.Selected, (QStringList{"人", "中", "央", " ", "，"}));
    // Cells 1 to 3 are on screen again, not hidden under an empty line.
    EXPECT_NE(canvas().copy(CKBD::keyRect(2)), image.copy(CKBD::keyRect(2)));

    run({
        {{KeyHeng, KeyShu}, " “”、 十土古木本"}, // no list loaded: nothing promoted
        // After 人, beyond the first page: 朴, 村 (learned, odd), 朴 again, 权. Cells 1-3
        // keep 人's list under the line, where 中, chosen after 人 above, took 村's place.
        {{ResetKeyboard, KeyPie, 5, KeyHeng, KeyShu}, "朴朴权中权十土古木本"},
    });
    uint16_t walked[2] = {0, 0}; // the walk that stands in when the character index cannot be built
    EXPECT_EQ(kbd.FindPromotedByWalk(walked), 2);
    EXPECT_EQ(QString(QChar(walked[0])) + QChar(walked[1]), QStringLiteral("朴权"));
    run({
        {{14, 14, KeyShu, KeyZhe}, " “”、 口日中？！"}, // fewer than six: nothing promoted
        {{ResetKeyboard, KeyHeng, 15, 15}, "本朴村朴权"}, // no third page
        {{10, 10, 10}, "：，。？！"},
        {{15}, "一十土古木"},
        // Next on a one-page list must not make later strokes or pages fail.
        {{ResetKeyboard, KeyShu, KeyZhe, 15, KeyHeng, 15, 10, 15}, "口日中？！"},
    });
    kbd.Reset(true); // the wildcard meets the padding of short codes; a 26th stroke is refused
    run({{std::vector<int>(26, KeyWildcard), "一十土古木"}});
    EXPECT_EQ(kbd.StrokeCode, QString(25, QLatin1Char('7')));
}

// A stroke repaints its key, the line (-1) and the cells that change; after
// a code that matches nothing, a refused stroke repaints nothing else. bs.dat
// replaced or emptied while hidden: the typed code is looked up in the file
// found at the next show. Files missing altogether leave the punctuation, and
// switching keyboards ends the list.
TEST_F(Keyboards, StrokeRepaintsHideShowSwitchingAndMissingFiles)
{
    CBHKBD& kbd = strokes();
    const std::pair<int, std::vector<int>> taps[] = {
        {KeyHeng, {-1, 0, 4, 5, 6, 7, 8, 9}}, {KeyZhe, {-1, 5, 6, 7, 8, 9}}, {KeyShu, {}}};
    for (const auto& [key, changed] : taps) {
        QRegion expected(CKBD::keyRect(key));
        owner.Flushed = QRegion();
        sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(key));
        EXPECT_EQ(owner.Flushed, expected) << key;
        for (int cell : changed)
            expected += cell < 0 ? CKBD::lineRect() : CKBD::keyRect(cell);
        sendMouse(&owner, QEvent::MouseButtonRelease, keyCentre(key));
        EXPECT_EQ(owner.Flushed, expected) << key;
    }

    kbd.Reset(true);
    const QByteArray shipped = dir.read(QStringLiteral("word.dat"));
    tapKeys(&owner, {KeyPie, 5, KeyHeng, KeySwitch}); // 人, whose list loads, a stroke, the other keyboard
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_TRUE(kbd.Line.isEmpty());
    // 人 again, then 朴 after it, deleted at once: nothing is learned.
    kbd.Reset(true);
    tapKeys(&owner, {KeyPie, 5, KeyHeng, KeyShu, 0, KeyBackspace, KeyHeng, KeyShu, 15});
    kbd.onHide();
    EXPECT_EQ(dir.read(QStringLiteral("word.dat")), shipped);
    dir.write(QStringLiteral("bs.dat"), strokeFile({{"12", u'干'}, {"1213", u'王'}, {"3", u'人'}}));
    kbd.onShow();
    run({{{}, "干王。？！"}, {{KeyHeng, 5, ResetKeyboard, KeyHeng, KeyShu}, "干王。？！"}});
    kbd.onHide();
    dir.write(QStringLiteral("bs.dat"), QByteArray());
    kbd.onShow();
    run({{{}, "：，。？！"}, {{15, 10, 15, 14, 14, 15}, Punctuation}});

    AppPath = dir.path(QStringLiteral("missing/"));
    strokes(); // a new keyboard, looking elsewhere than the pack
    tapKeys(&owner, {KeyHeng, KeyShu, 15, 10, 14, 14, 5, 0});
    EXPECT_EQ(owner.Selected.mid(4), (QStringList{QStringLiteral("："), QStringLiteral("；")}));
}

TEST_F(Keyboards, SymbolTablesPagedInACircleOneShotShiftAndCapsLock)
{
    CSymKBD& sym = load(StandardLines);
    run({
        {{KeyNext, KeyNext, KeyNext}, "fghijklmno"}, // from 20 past the end to 5
        {{KeyNext, KeyNext, KeyNext, KeyNext}, "uvwxyabcde"}, // 15, 0, 10, 20: 20 to 24, then 0 to 4
        {{3, Table1, KeyPrior, KeyPrior}, "fghijklmno"},
        {{Table3}, "，。？！：；、…“”"},      // key 17 is table 3
        {{Table4, 5, KeyNext, KeyPrior}, "xyz_______"}, // key 16 is table 4, shorter than a page
        {{Table1}, Letters.left(10)},
        {{Shift}, Capitals.left(10)},
        {{2}, Letters.left(10)},
        {{CapsLock, 2}, Capitals.left(10)},
        {{Shift}, Letters.left(10)}, // both on: plain
        {{2}, Capitals.left(10)},
    });
    // Past its end, table 4's key 5 chose nothing; shift holds for one symbol.
    EXPECT_EQ(owner.Selected.join(QString()), QStringLiteral("xCCc"));

    // The latch survives a full repaint and a press slid off the key.
    owner.invalidateCanvas();
    owner.grab();
    EXPECT_TRUE(drawn(CapsLock, true));
    sendMouse(&owner, QEvent::MouseButtonPress, keyCentre(CapsLock));
    sendMouse(&owner, QEvent::MouseMove, keyCentre(Table2));
    EXPECT_TRUE(drawn(CapsLock, true));
    sendMouse(&owner, QEvent::MouseButtonRelease, QPoint(-50, -50));

    // Coming back to this keyboard, or a table key, turns both off.
    run({{{Shift, KeyNext, ResetKeyboard}, Letters.left(10)}, {{CapsLock, Table2}, "0123456789"}});
    EXPECT_FALSE(sym.Shift || sym.CapLock || drawn(CapsLock, true));
}

// Lines end in LF or CR LF; the punctuation line needs ten characters, a
// colour line hexadecimal.
TEST_F(Keyboards, SymbolFileLinesReadWholeAndMissingOrBadFilesGiveAWorkingKeyboard)
{
    show<CSymKBD>(); // no Symbols.txt: four empty tables; shift still shows its state
    run({{{0, 9, KeyNext, KeyPrior, Table2, Table4, Shift}, "__________"}});
    EXPECT_TRUE(owner.Selected.isEmpty() && drawn(Shift, true));

    QStringList lines = StandardLines;
    lines[0] = QString(253, QLatin1Char('a'));
    lines[2] = QStringLiteral("x") + QString(QStringLiteral("中")).repeated(130); // two bytes across byte 254
    lines << QStringLiteral("0123456789") << QStringLiteral("FF0000") << QStringLiteral("00FF00");
    CSymKBD& sym = load(lines, "\r\n");
    for (int table = 0; table < 4; ++table)
        EXPECT_EQ(sym.Tables[table]->PlainWords, lines[2 * table]);
    EXPECT_EQ(__DefaultWords, lines[8]);
    EXPECT_EQ(__FontColor, QColor(Qt::red));
    EXPECT_EQ(__FontRevColor, QColor(Qt::green));
    EXPECT_GT(redPixels(CKBD::keyRect(0)), 5);

    load(StandardLines + QStringList{QStringLiteral("123456789"), QStringLiteral("red"), QStringLiteral("0000ff")});
    EXPECT_EQ(__DefaultWords, lines[8]); // nine: ignored
    EXPECT_EQ(__FontColor, QColor(Qt::red));

    // A line of only CR LF is an empty table: its key leaves the cells as they were.
    load(QByteArray("abcdefghij\n\r\n\r\nk\n"));
    tapKeys(&owner, {Table2, 1});
    EXPECT_EQ(owner.Selected, QStringList{"b"});

    EXPECT_EQ(load(QByteArray("ab\0cd\n", 6)).Tables[0]->PlainWords, QStringLiteral("ab")); // a NUL ends the text
    EXPECT_EQ(load(QByteArray(100000, 'z')).Tables[0]->PlainWords.length(), 100000); // no line end
}
