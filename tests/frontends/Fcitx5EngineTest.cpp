// The fcitx5 engine's logic without a running fcitx5: fcitx5 keys (by their
// names, through the engine's own translation) into the shared key map and
// session, on the small pack. Each case starts in a fresh field.
#include "DiroruStrokeEngine.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char* name;
    std::vector<const char*> keys; // fcitx5 key names; "^" marks a release
    QString preedit;
    QString candidates; // a promoted candidate is followed by '*'
    QString commit;
    int passed;                    // keys left to the application
    quint16 learned = 10;          // the weight of 国 after 中 in word.dat at the end
    bool learning = true;          // the field is neither a password nor sensitive
    bool association = true;       // the field allows prediction
};

// TinyPack: stroke 1 gives 一 二 十 三 干 | 王 土 工 天 大; 中's list is
// 国 10, 文 8, 心 6; 国's is 王 土 人.
const std::vector<Case> Cases = {
    {"StrokeLetters", {"h"}, "一", "一二十三干", "", 0},
    {"KeypadStrokes", {"KP_1", "KP_1"}, "一一", "二三干王天", "", 0},
    {"Wildcard", {"question", "h"}, "？一", "二三干王天", "", 0},
    {"SpaceChoosesTheFirst", {"s", "z", "h", "s", "space"}, "", "国文心", "中", 0},
    {"DigitChoosesFromTheList", {"s", "z", "h", "s", "space", "1"}, "", "王土人", "中国", 0, 12},
    {"PromotedFirstAndMarked", {"s", "z", "h", "s", "space", "1", "h"}, "一", "王*土*一二十三干", "中国", 0, 12},
    {"Paging", {"h", "Page_Down"}, "一", "王土工天大", "", 0},
    {"PagingBack", {"h", "equal", "minus"}, "一", "一二十三干", "", 0},
    {"BackspaceRemovesAStroke", {"h", "h", "BackSpace"}, "一", "一二十三干", "", 0},
    {"EscapeClears", {"h", "Escape"}, "", "", "", 0},
    {"UnusedKeysPass", {"Control+h", "a", "BackSpace", "Return"}, "", "", "", 4},
    {"ShiftAloneTogglesStrokeEntry", {"Shift_L", "^Shift_L", "h"}, "", "", "", 2},
    {"DeletedChoiceIsNotLearned", {"s", "z", "h", "s", "space", "1", "BackSpace"}, "", "王土人", "中国", 1},
    {"PasswordLearnsNothing", {"s", "z", "h", "s", "space", "1"}, "", "王土人", "中国", 0, 10, false},
    {"NoPredictionNoAssociation", {"s", "z", "h", "s", "space"}, "", "", "中", 0, 10, true, false},
};

class Fcitx5Engine : public ::testing::TestWithParam<Case>
{
protected:
    TinyPack pack;
};

} // namespace

TEST_P(Fcitx5Engine, KeysCandidatesAndLearning)
{
    const Case& c = GetParam();
    StrokeEngineLogic logic(pack.dir());
    logic.FocusIn();
    logic.SetField(c.learning, c.association);
    QString commit;
    int passed = 0;
    for (const char* name : c.keys) {
        const bool release = name[0] == '^';
        const fcitx::Key key(release ? name + 1 : name);
        ASSERT_TRUE(key.isValid()) << name;
        passed += logic.Key(DiroruStrokeEngine::keyInput(key, release), commit) ? 0 : 1;
    }
    QString shown;
    for (const StrokeEngineLogic::Candidate& k : logic.Current().candidates)
        shown += QString(k.character) + (k.promoted ? "*" : "");
    EXPECT_EQ(logic.Current().preedit.toStdString(), c.preedit.toStdString());
    EXPECT_EQ(shown.toStdString(), c.candidates.toStdString());
    EXPECT_EQ(commit.toStdString(), c.commit.toStdString());
    EXPECT_EQ(passed, c.passed);
    logic.FocusOut();
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', c.learned));
}

INSTANTIATE_TEST_SUITE_P(Keys, Fcitx5Engine, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Clicks choose like digits; another field starts afresh: the last choice
// there neither promotes candidates nor leads a learned pair.
TEST(Fcitx5EngineChoice, ClicksAndFocusChanges)
{
    TinyPack pack;
    StrokeEngineLogic logic(pack.dir());
    logic.FocusIn();
    QString commit;
    const auto type = [&](std::initializer_list<const char*> keys) {
        for (const char* name : keys)
            logic.Key(DiroruStrokeEngine::keyInput(fcitx::Key(name), false), commit);
    };
    type({"s", "z", "h", "s"});
    EXPECT_FALSE(logic.Choose(1, commit)); // 中 alone is listed
    EXPECT_TRUE(logic.Choose(0, commit));
    EXPECT_TRUE(logic.Choose(2, commit));
    EXPECT_EQ(commit.toStdString(), "中心");
    type({"s", "z", "h", "s", "space", "1"}); // 中, then 国 learned after it
    logic.FocusOut();
    logic.FocusIn();
    type({"h"}); // 国's list would promote 王 and 土
    EXPECT_FALSE(logic.Current().candidates.front().promoted);
    type({"Escape", "s", "z", "h", "s", "space"}); // 中 would replace 人 after 国
    logic.FocusOut();
    EXPECT_EQ(pack.record(8), std::make_pair(u'心', quint16(8)));
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));
    EXPECT_EQ(pack.record(28), std::make_pair(u'人', quint16(2)));
}
