#include "CBHKBD.h"
#include "CBHWordLib.h"
#include "CStrokeCode.h"
#include "CWordTable.h"
#include "KeyboardTestSupport.h"

#include <QtEndian>

namespace {

// Stroke keys: 一 丨 丿 丶 乛 ？
constexpr int Heng = 11, Shu = 12, Pie = 13, Dian = 16, Zhe = 17, Any = 18;

// bs.dat from (strokes, character) pairs: three digits a stroke, ten to a word.
QByteArray strokeFile(std::initializer_list<std::pair<const char*, char16_t>> entries)
{
    QByteArray out;
    for (auto [strokes, ch] : entries) {
        char stored[CStrokeCode::StoredSize];
        CStrokeCode::FromDigits(strokes).Store(stored);
        out.append(stored, sizeof stored);
        appendU16(out, ch);
    }
    return out;
}

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
    QByteArray index;
    auto entry = [&index](char16_t ch, quint16 count, quint32 offset) {
        appendU16(index, ch);
        appendU16(index, count);
        appendU32(index, offset);
    };
    entry(u'中', 12, 0);
    entry(u'人', 4, RenOffset);
    entry(u'日', 0, 64);
    dir.write(QStringLiteral("word.idx"), index);

    QByteArray data;
    for (int i = 0; i < ZhongFollowers.length(); ++i) {
        appendU16(data, ZhongFollowers.at(i).unicode());
        appendU16(data, quint16(40 - 2 * i));
    }
    for (auto [ch, ref] : {std::pair{u'本', 10}, {u'朴', 8}, {u'村', 5}, {u'权', 6}}) {
        appendU16(data, ch);
        appendU16(data, quint16(ref));
    }
    dir.write(QStringLiteral("word.dat"), data);
}

const QString Punctuation = QStringLiteral("；“”、…：，。？！");

quint16 refAt(const QByteArray& data, quint32 offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset + 2);
}
quint16 charAt(const QByteArray& data, quint32 offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

class StrokeKeyboard : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        image = writeKeyboardImage(dir, QStringLiteral("InputW_Stroke_Entry.gif"));
        dir.write(QStringLiteral("bs.dat"), Strokes);
        writeAssociations(dir);
        kbd = std::make_unique<CBHKBD>(&owner, QStringLiteral("InputW_Stroke_Entry.gif"));
        owner.Keyboard = kbd.get();
        kbd->Reset(true);
        kbd->onShow();
    }

    void type(std::initializer_list<int> keys) { ::type(*kbd, keys); }
    // Chooses 人 (strokes 丿) so that its association list is loaded.
    void chooseRen()
    {
        type({Pie, 5});
        ASSERT_EQ(owner.Selected.last(), QStringLiteral("人"));
    }

    QImage image;
    std::unique_ptr<CBHKBD> kbd;
};

} // namespace

TEST_F(StrokeKeyboard, StrokesShowCandidatesAndPromoteFollowersWithoutRepeats)
{
    EXPECT_EQ(cells(*kbd), Punctuation);
    type({Heng, Shu});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("12"));
    EXPECT_EQ(kbd->Line, QStringLiteral("一丨"));
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("十土古木本"));
    EXPECT_EQ(kbd->Words[0] + kbd->Words[4], QStringLiteral("  ")); // no list loaded
    EXPECT_GT(differingPixels(owner.canvas(), image, CKBD::lineRect()), 20);

    kbd->Reset(true);
    chooseRen();
    EXPECT_EQ(cells(*kbd), QStringLiteral("本朴权村…：，。？！")); // ranked by weight
    type({Heng, Shu});
    // Beyond the first page: 朴, 村 (learned, odd), 朴 again, 权.
    EXPECT_EQ(kbd->Words[0] + kbd->Words[4], QStringLiteral("朴权"));
    type({14, 14, Shu, Zhe}); // fewer than six candidates: nothing promoted
    EXPECT_EQ(cells(*kbd), QStringLiteral(" “”、 口日中？！"));
}

TEST_F(StrokeKeyboard, PagingWithThePunctuationPageBeforeTheFirst)
{
    tap(*kbd, Heng);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));
    type({15, 15}); // no third page
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("本朴村朴权"));
    type({10, 10, 10});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));

    // Next on a one-page list must not make later strokes or pages fail.
    kbd->Reset(true);
    type({Shu, Zhe, 15, Heng});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("251"));
    type({15, 10, 15});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("口日中？！"));
}

TEST_F(StrokeKeyboard, StrokeEditing)
{
    chooseRen();
    tap(*kbd, Dian); // matches nothing: later strokes are refused
    EXPECT_EQ(cells(*kbd), QStringLiteral("本朴权村…：，。？！")); // 0 and 4 as they were
    type({Heng, Shu});
    EXPECT_EQ(kbd->Line, QStringLiteral("丶"));
    tap(*kbd, 14);
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), Punctuation);

    // Backspace of the only stroke keeps its query: Next pages it.
    type({Heng, Shu, 14, 14, 15});
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…本朴村朴权"));
    EXPECT_EQ(owner.BackSpaces, 0);

    // A tap on the line starts a new code; the candidates stay choosable.
    type({Heng, Shu, 2});
    EXPECT_TRUE(kbd->StrokeCode.isEmpty() && kbd->Line.isEmpty() && kbd->IsLineArea);
    tap(*kbd, Pie);
    EXPECT_EQ(kbd->Line, QStringLiteral("丿"));

    kbd->Reset(true);
    for (int i = 0; i < 26; ++i)
        tap(*kbd, Any);
    EXPECT_EQ(kbd->StrokeCode, QString(25, QLatin1Char('7')));
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木")); // the wildcard meets padding
}

TEST_F(StrokeKeyboard, AssociationPagesAndChoices)
{
    type({Shu, 7}); // 中
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), ZhongFollowers.left(10));
    type({15, 15});
    EXPECT_EQ(cells(*kbd), ZhongFollowers.mid(10) + QStringLiteral("”、…：，。？！"));
    type({10, 10});
    EXPECT_EQ(cells(*kbd), Punctuation);
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd), ZhongFollowers.left(10));
    tap(*kbd, 3); // 央 has no list
    EXPECT_EQ(cells(*kbd), Punctuation);
    EXPECT_FALSE(kbd->HasAssociation);

    // A space or a punctuation mark ends stroke input without a list.
    type({Shu, Zhe, 0});
    EXPECT_EQ(owner.Selected.last(), QStringLiteral(" "));
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    type({Pie, 6});
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("，"));
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), QStringLiteral(" “”、 人，。？！"));
    // Cells 1 to 3 are on screen again, not hidden under an empty line.
    EXPECT_GT(differingPixels(owner.canvas(), image, CKBD::keyRect(2)), 20);
}

TEST_F(StrokeKeyboard, ChoicesAreLearnedIntoWordDatUnlessDeleted)
{
    const QByteArray before = dir.read(QStringLiteral("word.dat"));
    chooseRen();
    type({Heng, Shu, 0, 14}); // 朴, then deleted at once
    EXPECT_EQ(owner.BackSpaces, 1);
    kbd->onHide();
    EXPECT_EQ(dir.read(QStringLiteral("word.dat")), before);

    kbd->onShow();
    chooseRen();
    type({Heng, Shu, 0});
    kbd->onHide();
    QByteArray after = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(refAt(after, RenOffset + 4), 10); // 朴 after 人: 8 + 2
    after[RenOffset + 6] = before[RenOffset + 6];
    EXPECT_EQ(after, before);

    // Hidden and shown in association mode; a follower not in the list
    // replaces the weakest record (村).
    kbd->onShow();
    chooseRen();
    kbd->onHide();
    kbd->onShow();
    type({Heng, Shu, 5}); // 十
    kbd->onHide();
    after = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(charAt(after, RenOffset + 8), u'十');
    EXPECT_EQ(refAt(after, RenOffset + 8), 1);
}

TEST_F(StrokeKeyboard, HideAndShowWhileTypingLeaveAWorkingKeyboard)
{
    type({Heng, Shu, 15});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), strokeFile({{"12", u'干'}, {"1213", u'王'}, {"3", u'人'}}));
    kbd->onShow(); // the typed code is looked up in the new file
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("干王。？！"));
    type({Heng, 5});
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("王"));

    kbd->Reset(true);
    type({Heng, Shu});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), QByteArray());
    kbd->onShow();
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    type({15, 10, 15, 14, 14, 15});
    EXPECT_FALSE(kbd->IsLineArea);
}

TEST_F(StrokeKeyboard, SwitchingAndMissingFiles)
{
    chooseRen();
    type({Heng, 19});
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_FALSE(kbd->HasAssociation);

    AppPath = dir.path(QStringLiteral("missing/"));
    TestOwner bare;
    CBHKBD empty(&bare, QStringLiteral("InputW_Stroke_Entry.gif"));
    empty.Reset(true);
    empty.onShow();
    ::type(empty, {Heng, Shu, 15, 10, 14, 14, 5, 0});
    EXPECT_EQ(bare.Selected, (QStringList{QStringLiteral("："), QStringLiteral("；")}));
    empty.onHide();
}
