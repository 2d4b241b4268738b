#include "CBHKBD.h"
#include "CBHWordLib.h"
#include "CWordTable.h"
#include "KeyboardTestSupport.h"

#include <QApplication>
#include <QPaintEvent>

namespace {

// 朴 has two records (two stroke orders), as characters in bs.dat often do.
const QByteArray Strokes = strokeFile({
    {"1", u'一'}, {"12", u'十'}, {"121", u'土'}, {"12251", u'古'}, {"1234", u'木'},
    {"12341", u'本'}, {"123424", u'朴'}, {"1234124", u'村'}, {"123442", u'朴'},
    {"12345", u'权'}, {"251", u'口'}, {"2511", u'日'}, {"2512", u'中'}, {"34", u'人'},
});

const QString ZhongFollowers = QStringLiteral("国心间央文华山学医立外部");
constexpr quint32 RenOffset = 48; // 人's four records follow 中's twelve

// word.idx and word.dat: 中 with twelve followers, 人 with four (村 learned,
// its odd weight keeps it from being promoted), 日 with an empty list.
void writeAssociations(const TestDir& dir)
{
    AssociationFiles files;
    files.addEntry(u'中', 12, 0);
    files.addEntry(u'人', 4, RenOffset);
    files.addEntry(u'日', 0, 64);
    for (int i = 0; i < ZhongFollowers.length(); ++i)
        files.addRecord({ZhongFollowers.at(i).unicode(), quint16(40 - 2 * i)});
    for (Follower f : {Follower{u'本', 10}, {u'朴', 8}, {u'村', 5}, {u'权', 6}})
        files.addRecord(f);
    files.writeTo(dir);
}

const QString Punctuation = QStringLiteral("；“”、…：，。？！");

class StrokeKeyboard : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        writeImage(QStringLiteral("InputW_Stroke_Entry.gif"));
        dir.write(QStringLiteral("bs.dat"), Strokes);
        writeAssociations(dir);
        kbd = std::make_unique<CBHKBD>(&owner, QStringLiteral("InputW_Stroke_Entry.gif"));
        owner.Keyboard = kbd.get();
        kbd->Reset(true);
        kbd->onShow();
    }

    std::unique_ptr<CBHKBD> kbd;
};

} // namespace

TEST_F(StrokeKeyboard, StrokesPagesAndPromotedFollowers)
{
    run({
        {{}, Punctuation},
        {{KeyHeng, KeyShu}, " “”、 十土古木本"}, // no list loaded: nothing promoted
        {{ResetKeyboard, KeyPie, 5}, "本朴权村…：，。？！"}, // 人's list, ranked by weight
        // Beyond the first page: 朴, 村 (learned, odd), 朴 again, 权.
        {{KeyHeng, KeyShu}, "朴朴权村权十土古木本"}, // cells 1-3 keep theirs under the line
    });
    uint16_t walked[2] = {0, 0}; // the walk that stands in when the character index cannot be built
    EXPECT_EQ(kbd->FindPromotedByWalk(walked), 2);
    EXPECT_EQ(QString(QChar(walked[0])) + QChar(walked[1]), QStringLiteral("朴权"));
    run({
        {{14, 14, KeyShu, KeyZhe}, " “”、 口日中？！"}, // fewer than six: nothing promoted
        {{ResetKeyboard, KeyHeng}, "一十土古木"},
        {{15, 15}, "本朴村朴权"}, // no third page
        {{10, 10, 10}, "：，。？！"},
        {{15}, "一十土古木"},
        // Next on a one-page list must not make later strokes or pages fail.
        {{ResetKeyboard, KeyShu, KeyZhe, 15, KeyHeng}, "口日中？！"},
        {{15, 10, 15}, "口日中？！"},
        // The wildcard meets the padding of short codes; a 26th stroke is refused.
        {{ResetKeyboard, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18,
          18, 18, 18}, "一十土古木"},
    });
    EXPECT_EQ(kbd->StrokeCode, QString(25, QLatin1Char('7')));
    EXPECT_GT(differingPixels(owner.canvas(), image, CKBD::lineRect()), 20);
}

TEST_F(StrokeKeyboard, StrokeEditing)
{
    run({
        {{KeyPie, 5, KeyDian}, "本朴权村…：，。？！"}, // 人, then a stroke matching nothing
        {{KeyHeng, KeyShu}, "本朴权村…：，。？！"}, // later strokes are refused
        {{14}, Punctuation},
        // Backspace of the only stroke keeps its query: Next pages it.
        {{KeyHeng, KeyShu, 14, 14, 15}, "；“”、…本朴村朴权"},
    });
    EXPECT_EQ(owner.BackSpaces, 0);
    EXPECT_FALSE(kbd->IsLineArea);
    // A tap on the line starts a new code; the candidates stay choosable.
    type({KeyHeng, KeyShu, 2});
    EXPECT_TRUE(kbd->StrokeCode.isEmpty() && kbd->Line.isEmpty() && kbd->IsLineArea);
    type({KeyPie});
    EXPECT_EQ(kbd->Line, QStringLiteral("丿"));
}

TEST_F(StrokeKeyboard, AssociationPagesAndChoices)
{
    run({
        {{KeyShu, 7}, ZhongFollowers.left(10)}, // 中
        {{15, 15}, ZhongFollowers.mid(10) + QStringLiteral("”、…：，。？！")},
        {{10, 10}, Punctuation},
        {{15}, ZhongFollowers.left(10)},
        {{3}, Punctuation}, // 央 has no list
        // A space or a punctuation mark ends stroke input without a list.
        {{KeyShu, KeyZhe, 0, KeyPie, 6}, " “”、 人，。？！"},
    });
    EXPECT_EQ(owner.Selected, (QStringList{"中", "央", " ", "，"}));
    EXPECT_FALSE(kbd->HasAssociation || kbd->IsLineArea);
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    // Cells 1 to 3 are on screen again, not hidden under an empty line.
    EXPECT_GT(differingPixels(owner.canvas(), image, CKBD::keyRect(2)), 20);
}

TEST_F(StrokeKeyboard, ChoicesAreLearnedIntoWordDatUnlessDeleted)
{
    const QByteArray before = dir.read(QStringLiteral("word.dat"));
    type({KeyPie, 5}); // 人, whose list loads
    type({KeyHeng, KeyShu, 0, 14}); // 朴, then deleted at once
    EXPECT_EQ(owner.BackSpaces, 1);
    kbd->onHide();
    EXPECT_EQ(dir.read(QStringLiteral("word.dat")), before);

    kbd->onShow();
    type({KeyPie, 5}); // 人, whose list loads
    type({KeyHeng, KeyShu, 0});
    kbd->onHide();
    QByteArray after = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(u16At(after, RenOffset + 6), 10); // 朴 after 人: 8 + 2
    after[RenOffset + 6] = before[RenOffset + 6];
    EXPECT_EQ(after, before);

    // Hidden and shown in association mode; a follower not in the list
    // replaces the weakest record (村).
    kbd->onShow();
    type({KeyPie, 5}); // 人, whose list loads
    kbd->onHide();
    kbd->onShow();
    type({KeyHeng, KeyShu, 5}); // 十
    kbd->onHide();
    after = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(u16At(after, RenOffset + 8), u'十');
    EXPECT_EQ(u16At(after, RenOffset + 10), 1);
}

// bs.dat replaced or emptied while hidden: the typed code is looked up in
// the file found at the next show.
TEST_F(StrokeKeyboard, HideAndShowWhileTypingLeaveAWorkingKeyboard)
{
    type({KeyHeng, KeyShu, 15});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), strokeFile({{"12", u'干'}, {"1213", u'王'}, {"3", u'人'}}));
    kbd->onShow();
    run({{{}, "干王。？！"}, {{KeyHeng, 5, ResetKeyboard, KeyHeng, KeyShu}, "干王。？！"}});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), QByteArray());
    kbd->onShow();
    run({{{}, "：，。？！"}, {{15, 10, 15, 14, 14, 15}, Punctuation}});
    EXPECT_EQ(owner.Selected, QStringList{"王"});
    EXPECT_FALSE(kbd->IsLineArea);
}

TEST_F(StrokeKeyboard, SwitchingAndMissingFiles)
{
    type({KeyPie, 5}); // 人, whose list loads
    type({KeyHeng, 19});
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_FALSE(kbd->HasAssociation);

    AppPath = dir.path(QStringLiteral("missing/"));
    TestOwner bare;
    CBHKBD empty(&bare, QStringLiteral("InputW_Stroke_Entry.gif"));
    bare.Keyboard = &empty;
    empty.Reset(true);
    empty.onShow();
    tapKeys(&bare, {KeyHeng, KeyShu, 15, 10, 14, 14, 5, 0});
    EXPECT_EQ(bare.Selected, (QStringList{QStringLiteral("："), QStringLiteral("；")}));
    empty.onHide();
}

// What a tap makes the shown panel repaint: the regions of its paint
// events, as the platform delivers them.
TEST_F(StrokeKeyboard, PressAndReleaseRepaintOnlyWhatChanged)
{
    struct PaintRegions : QObject {
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
        QRegion painted;
    } regions;
    owner.show();
    QApplication::processEvents();
    owner.installEventFilter(&regions);
    const auto tap = [&](int key, const QRegion& released) {
        for (auto [type, region] : {std::pair{QEvent::MouseButtonPress, QRegion(CKBD::keyRect(key))},
                                    {QEvent::MouseButtonRelease, released}}) {
            regions.painted = QRegion();
            sendMouse(&owner, type, keyCentre(key));
            QApplication::processEvents();
            EXPECT_EQ(regions.painted, region) << "key " << key << (type == QEvent::MouseButtonPress ? " pressed" : "");
        }
    };
    // A stroke: the key, the line, the candidate cells and the two promoted
    // cells; keys 1 to 3 lie under the line, the other keys stay.
    QRegion stroke = QRegion(CKBD::keyRect(KeyHeng)) + CKBD::lineRect();
    for (int cell : {0, 4, 5, 6, 7, 8, 9})
        stroke += CKBD::keyRect(cell);
    tap(KeyHeng, stroke);
    // A code that matches nothing: the line and cells 5 to 9.
    QRegion none = QRegion(CKBD::keyRect(KeyZhe)) + CKBD::lineRect();
    for (int cell = 5; cell <= 9; ++cell)
        none += CKBD::keyRect(cell);
    tap(KeyZhe, none);
    // Further strokes are refused: only the key itself.
    tap(KeyShu, QRegion(CKBD::keyRect(KeyShu)));
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("15"));
}
