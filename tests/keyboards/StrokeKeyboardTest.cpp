#include "CBHKBD.h"
#include "KeyboardTestSupport.h"

namespace {

const QString Punctuation = QStringLiteral("；“”、…：，。？！");
const QString ZhongFollowers = QStringLiteral("国心间央文华山学医立外部");

// 朴 has two records (two stroke orders), as characters in bs.dat often do.
// word.dat: 中 with twelve followers, 人 with four (村 learned, its odd
// weight keeps it from being promoted), 日 with an empty list.
class StrokeKeyboard : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
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
        kbd = &show<CBHKBD>();
        kbd->Reset(true);
        kbd->onShow();
    }

    CBHKBD* kbd = nullptr;
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
    EXPECT_GT(differing(CKBD::lineRect(), image), 20);
}

TEST_F(StrokeKeyboard, StrokeEditingAssociationPagesAndChoices)
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

    run({
        {{ResetKeyboard, KeyShu, 7}, ZhongFollowers.left(10)}, // 中
        {{15, 15}, ZhongFollowers.mid(10) + QStringLiteral("”、…：，。？！")},
        {{10, 10}, Punctuation},
        {{15}, ZhongFollowers.left(10)},
        {{3}, Punctuation}, // 央 has no list
        // A space or a punctuation mark ends stroke input without a list.
        {{KeyShu, KeyZhe, 0, KeyPie, 6}, " “”、 人，。？！"},
    });
    EXPECT_EQ(owner.Selected, (QStringList{"人", "中", "央", " ", "，"}));
    EXPECT_FALSE(kbd->HasAssociation || kbd->IsLineArea);
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    // Cells 1 to 3 are on screen again, not hidden under an empty line.
    EXPECT_GT(differing(CKBD::keyRect(2), image), 20);
}

// bs.dat replaced or emptied while hidden: the typed code is looked up in
// the file found at the next show. Files missing altogether leave the
// punctuation, and switching keyboards ends the list.
TEST_F(StrokeKeyboard, HideShowSwitchingAndMissingFiles)
{
    const QByteArray shipped = dir.read(QStringLiteral("word.dat"));
    type({KeyPie, 5, KeyHeng, KeySwitch}); // 人, whose list loads, a stroke, the other keyboard
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_FALSE(kbd->HasAssociation);
    // 人 again, then 朴 after it, deleted at once: nothing is learned.
    kbd->Reset(true);
    type({KeyPie, 5, KeyHeng, KeyShu, 0, KeyBackspace, KeyHeng, KeyShu, 15});
    kbd->onHide();
    EXPECT_EQ(dir.read(QStringLiteral("word.dat")), shipped);
    dir.write(QStringLiteral("bs.dat"), strokeFile({{"12", u'干'}, {"1213", u'王'}, {"3", u'人'}}));
    kbd->onShow();
    run({{{}, "干王。？！"}, {{KeyHeng, 5, ResetKeyboard, KeyHeng, KeyShu}, "干王。？！"}});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), QByteArray());
    kbd->onShow();
    run({{{}, "：，。？！"}, {{15, 10, 15, 14, 14, 15}, Punctuation}});
    EXPECT_EQ(owner.Selected, (QStringList{"人", "人", "朴", "王"}));
    EXPECT_FALSE(kbd->IsLineArea);

    AppPath = dir.path(QStringLiteral("missing/"));
    kbd = &show<CBHKBD>();
    kbd->Reset(true);
    kbd->onShow();
    type({KeyHeng, KeyShu, 15, 10, 14, 14, 5, 0});
    EXPECT_EQ(owner.Selected.mid(4), (QStringList{QStringLiteral("："), QStringLiteral("；")}));
}

// What a tap makes the panel repaint: a stroke, the line (-1, over keys 1
// to 3), the candidate cells and the two promoted cells; a code that
// matches nothing, the line and cells 5 to 9; a refused stroke, nothing but
// the key itself.
TEST_F(StrokeKeyboard, PressAndReleaseRepaintOnlyWhatChanged)
{
    const std::pair<int, std::vector<int>> taps[] = {
        {KeyHeng, {-1, 0, 4, 5, 6, 7, 8, 9}}, {KeyZhe, {-1, 5, 6, 7, 8, 9}}, {KeyShu, {}}};
    for (const auto& [key, changed] : taps) {
        QRegion expected(CKBD::keyRect(key));
        owner.Flushed = QRegion();
        press(keyCentre(key));
        EXPECT_EQ(owner.Flushed, expected) << key;
        for (int cell : changed)
            expected += cell < 0 ? CKBD::lineRect() : CKBD::keyRect(cell);
        release(keyCentre(key));
        EXPECT_EQ(owner.Flushed, expected) << key;
    }
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("15"));
}
