#include "CBHKBD.h"
#include "CBHWordLib.h"
#include "CWordTable.h"
#include "KeyboardTestSupport.h"

#include <QtEndian>

namespace {

// Stroke keys: 一 丨 丿 丶 乛 ？
constexpr int Heng = 11, Shu = 12, Pie = 13, Dian = 16, Zhe = 17, Any = 18;

QByteArray strokeRecord(const char* strokes, char16_t ch)
{
    quint32 words[3] = {0, 0, 0};
    for (int p = 0; strokes[p] && p < 25; ++p)
        words[p / 10] |= quint32(strokes[p] - '0') << (3 * (p % 10));
    QByteArray out;
    appendU32(out, words[0]);
    appendU32(out, words[1]);
    appendU16(out, quint16(words[2]));
    appendU16(out, ch);
    return out;
}

struct TStroke {
    const char* Strokes;
    char16_t Char;
};

QByteArray strokeFile(std::initializer_list<TStroke> entries)
{
    QByteArray out;
    for (const TStroke& e : entries)
        out += strokeRecord(e.Strokes, e.Char);
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

    void type(std::initializer_list<int> keys)
    {
        for (int key : keys)
            tap(*kbd, key);
    }
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

TEST_F(StrokeKeyboard, StrokesFillTheLineAndTheCandidateCells)
{
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
    type({Heng, Shu});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("12"));
    EXPECT_EQ(kbd->Line, QStringLiteral("一丨"));
    EXPECT_TRUE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("十土古木本"));
    EXPECT_EQ(kbd->Words[0], QStringLiteral(" ")); // no association list loaded
    EXPECT_EQ(kbd->Words[4], QStringLiteral(" "));

    // Fewer than five candidates: the rest of the page is punctuation.
    kbd->Reset(true);
    type({Shu, Zhe});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("口日中？！"));

    // The line area shows the strokes, not cells 1 to 3.
    const QRect line = CKBD::lineRect();
    EXPECT_GT(differingPixels(owner.canvas(), image, line), 20);
}

TEST_F(StrokeKeyboard, PromotedCandidatesFollowThePreviousCharacterWithoutRepeats)
{
    chooseRen();
    EXPECT_EQ(cells(*kbd), QStringLiteral("本朴权村…：，。？！")); // ranked by weight
    type({Heng, Shu});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("十土古木本"));
    // Beyond the first page: 朴, 村 (learned, odd), 朴 again, 权.
    EXPECT_EQ(kbd->Words[0], QStringLiteral("朴"));
    EXPECT_EQ(kbd->Words[4], QStringLiteral("权"));

    // A code with fewer than six candidates promotes nothing.
    type({14, 14, Shu, Zhe});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("25"));
    EXPECT_EQ(kbd->Words[0], QStringLiteral(" "));
    EXPECT_EQ(kbd->Words[4], QStringLiteral(" "));
}

TEST_F(StrokeKeyboard, StrokePagingWithThePunctuationPageBeforeTheFirst)
{
    tap(*kbd, Heng);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("本朴村朴权"));
    tap(*kbd, 15); // no third page
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("本朴村朴权"));
    tap(*kbd, 10);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));
    tap(*kbd, 10);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    tap(*kbd, 10); // stays on the punctuation page
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));
}

TEST_F(StrokeKeyboard, NextOnAOnePageListLeavesStrokesWorking)
{
    type({Shu, Zhe, 15});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("口日中？！"));
    tap(*kbd, Heng);
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("251"));
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("口日中？！"));

    // Back from the punctuation page the candidates come again, even though
    // Next has already failed at the last page.
    type({15, 10});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("口日中？！"));
}

TEST_F(StrokeKeyboard, CodeMatchingNothingRefusesStrokesUntilBackspace)
{
    chooseRen();
    type({Dian});
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    EXPECT_EQ(kbd->Words[0], QStringLiteral("本")); // cells 0 and 4 as they were
    type({Heng, Shu});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("4"));
    EXPECT_EQ(kbd->Line, QStringLiteral("丶"));

    tap(*kbd, 14);
    EXPECT_EQ(owner.BackSpaces, 0);
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
    tap(*kbd, Pie);
    EXPECT_EQ(cells(*kbd, 5, 5), QStringLiteral("人"));
}

TEST_F(StrokeKeyboard, TwentySixthStrokeIsRefused)
{
    for (int i = 0; i < 26; ++i)
        tap(*kbd, Any);
    EXPECT_EQ(kbd->StrokeCode, QString(25, QLatin1Char('7')));
    EXPECT_EQ(kbd->Line.length(), 25);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木")); // the wildcard meets padding
}

TEST_F(StrokeKeyboard, BackspaceOfTheOnlyStrokeKeepsTheQueryForPaging)
{
    type({Heng, Shu, 14});
    EXPECT_EQ(kbd->Line, QStringLiteral("一"));
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("一十土古木"));
    tap(*kbd, 14);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("本朴村朴权"));
    EXPECT_EQ(owner.BackSpaces, 0);
    tap(*kbd, 14); // nothing typed: the owner deletes
    EXPECT_EQ(owner.BackSpaces, 1);
}

TEST_F(StrokeKeyboard, LineTapStartsANewCodeAndKeepsTheCandidates)
{
    type({Heng, Shu, 2});
    EXPECT_TRUE(kbd->StrokeCode.isEmpty());
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_TRUE(kbd->IsLineArea);
    EXPECT_TRUE(owner.Selected.isEmpty());
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("十土古木本"));
    tap(*kbd, 8);
    EXPECT_EQ(owner.Selected, QStringList{QStringLiteral("木")});

    kbd->Reset(true);
    type({Heng, 3, Pie});
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("3"));
    EXPECT_EQ(kbd->Line, QStringLiteral("丿"));
}

TEST_F(StrokeKeyboard, AssociationPagingAndThePunctuationPage)
{
    type({Shu, 7}); // 中
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), ZhongFollowers.left(10));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd), ZhongFollowers.mid(10) + QStringLiteral("”、…：，。？！"));
    tap(*kbd, 15); // last page
    EXPECT_EQ(kbd->WordTable->WordIndex, 10);
    type({10, 10});
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
    tap(*kbd, 15);
    EXPECT_EQ(cells(*kbd), ZhongFollowers.left(10));

    // A character without an entry: punctuation everywhere, nothing learned next.
    tap(*kbd, 3); // 央
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
    EXPECT_FALSE(kbd->HasAssociation);
    // A stroke leaves association mode for a new code.
    tap(*kbd, Pie);
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeStroke);
    EXPECT_EQ(kbd->StrokeCode, QStringLiteral("3"));
}

TEST_F(StrokeKeyboard, ChoiceAfterACharacterIsLearnedIntoWordDat)
{
    const QByteArray before = dir.read(QStringLiteral("word.dat"));
    chooseRen();
    type({Heng, Shu, 0}); // 朴, promoted into cell 0
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("朴"));
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！")); // 朴 has no list
    kbd->onHide();
    const QByteArray after = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(refAt(after, RenOffset + 4), 10); // 朴 after 人: 8 + 2
    EXPECT_EQ(after.left(RenOffset + 4), before.left(RenOffset + 4));
    EXPECT_EQ(after.mid(RenOffset + 8), before.mid(RenOffset + 8));

    // A follower not in the list takes the place of the weakest (村, 5).
    kbd->onShow();
    chooseRen();
    type({Heng, Shu, 5}); // 十
    kbd->onHide();
    const QByteArray learned = dir.read(QStringLiteral("word.dat"));
    EXPECT_EQ(charAt(learned, RenOffset + 8), u'十');
    EXPECT_EQ(refAt(learned, RenOffset + 8), 1);
}

TEST_F(StrokeKeyboard, BackspaceAfterAChoiceDropsWhatWouldBeLearned)
{
    const QByteArray before = dir.read(QStringLiteral("word.dat"));
    chooseRen();
    type({Heng, Shu, 0});
    const QString shown = cells(*kbd);
    tap(*kbd, 14);
    EXPECT_EQ(owner.BackSpaces, 1);
    EXPECT_EQ(cells(*kbd), shown);
    kbd->onHide();
    EXPECT_EQ(dir.read(QStringLiteral("word.dat")), before);
}

TEST_F(StrokeKeyboard, ChoosingASpaceOrPunctuationEndsStrokeInputWithoutAList)
{
    chooseRen();
    type({Shu, Zhe, 0}); // cell 0 shows a space
    EXPECT_EQ(owner.Selected.last(), QStringLiteral(" "));
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    EXPECT_FALSE(kbd->HasAssociation);
    EXPECT_FALSE(kbd->IsLineArea);

    kbd->Reset(true);
    type({Pie});
    const QString shown = cells(*kbd);
    tap(*kbd, 6); // ，
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("，"));
    EXPECT_EQ(kbd->Mode, CBHKBD::ModeAssociation);
    EXPECT_FALSE(kbd->IsLineArea);
    EXPECT_EQ(cells(*kbd), shown);
    // What cells 1 to 3 hold is on screen again, not hidden under an empty line.
    EXPECT_GT(differingPixels(owner.canvas(), image, CKBD::keyRect(2)), 20);
}

TEST_F(StrokeKeyboard, HideAndShowWhileTypingLeaveAWorkingKeyboard)
{
    type({Heng, Shu, 15});
    kbd->onHide();
    // bs.dat replaced while hidden: the typed code is looked up again.
    dir.write(QStringLiteral("bs.dat"), strokeFile({{"12", u'干'}, {"1213", u'王'}, {"3", u'人'}}));
    kbd->onShow();
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("干王。？！"));
    tap(*kbd, Heng);
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("王，。？！"));
    tap(*kbd, 5);
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("王"));

    // Shrunk to nothing while hidden: no candidates, no crash, backspace works.
    kbd->Reset(true);
    type({Heng, Shu});
    kbd->onHide();
    dir.write(QStringLiteral("bs.dat"), QByteArray());
    kbd->onShow();
    EXPECT_EQ(cells(*kbd, 5, 9), QStringLiteral("：，。？！"));
    type({15, 10, 15, 14, 14, 15});
    EXPECT_FALSE(kbd->IsLineArea);
}

TEST_F(StrokeKeyboard, HideAndShowInAssociationModeStillLearns)
{
    chooseRen();
    kbd->onHide();
    kbd->onShow();
    EXPECT_EQ(cells(*kbd), QStringLiteral("本朴权村…：，。？！"));
    tap(*kbd, 1); // 朴 from the association page
    kbd->onHide();
    EXPECT_EQ(refAt(dir.read(QStringLiteral("word.dat")), RenOffset + 4), 10);
}

TEST_F(StrokeKeyboard, SwitchKeyboardClearsTheLineAndTheAssociation)
{
    chooseRen();
    type({Heng, 19});
    EXPECT_EQ(owner.Shifts, 1);
    EXPECT_TRUE(kbd->Line.isEmpty());
    EXPECT_FALSE(kbd->HasAssociation);
    kbd->Reset(true);
    EXPECT_EQ(cells(*kbd), QStringLiteral("；“”、…：，。？！"));
}

TEST_F(StrokeKeyboard, MissingDataFilesGiveAnEmptyButWorkingKeyboard)
{
    AppPath = dir.path(QStringLiteral("missing/"));
    TestOwner bare;
    CBHKBD empty(&bare, QStringLiteral("InputW_Stroke_Entry.gif"));
    bare.Keyboard = &empty;
    empty.Reset(true);
    empty.onShow();
    for (int key : {Heng, Shu, 15, 10, 14, 14, 5, 0})
        tap(empty, key);
    EXPECT_EQ(bare.Selected, (QStringList{QStringLiteral("："), QStringLiteral("；")}));
    empty.onHide();
}
