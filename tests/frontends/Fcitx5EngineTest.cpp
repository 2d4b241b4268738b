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
    // fcitx5 key names, "^" marking a release; "#n" clicks candidate n and
    // "|" moves the focus to another field.
    std::vector<const char*> keys;
    QString preedit, candidates, commit; // a promoted candidate is followed by '*'
    int passed;                    // keys left to the application, clicks refused
    quint16 learned = 10;          // the weight of 国 after 中 in word.dat at the end
    bool learning = true;          // the field is neither a password nor sensitive
    bool association = true;       // the field allows prediction
};

// TinyPack: stroke 1 gives 一二十三干 | 王土工天大; 中's list is 国 10, 文 8, 心 6; 国's 王土人.
const std::vector<Case> Cases = {
    {"PromotedFirstAndMarked", {"s", "z", "h", "s", "space", "1", "h"}, "一", "王*土*一二十三干", "中国", 0, 12},
    {"WildcardOnTheKeypad", {"question", "KP_1"}, "？一", "二三干王天", "", 0},
    {"PageDown", {"h", "Page_Down"}, "一", "王土工天大", "", 0},
    {"PageBack", {"h", "equal", "minus"}, "一", "一二十三干", "", 0},
    {"EscapeClearsBackspaceRemovesAStroke", {"h", "Escape", "h", "h", "BackSpace"}, "一", "一二十三干", "", 0},
    {"UnusedKeysPass", {"Control+h", "a", "BackSpace", "Return"}, "", "", "", 4},
    {"ShiftAloneTogglesStrokeEntry", {"Shift_L", "^Shift_L", "h"}, "", "", "", 2},
    {"DeletedChoiceIsNotLearned", {"s", "z", "h", "s", "space", "1", "BackSpace"}, "", "王土人", "中国", 1},
    {"PasswordLearnsNothing", {"s", "z", "h", "s", "space", "1"}, "", "王土人", "中国", 0, 10, false},
    {"NoPredictionNoAssociation", {"s", "z", "h", "s", "space"}, "", "", "中", 0, 10, true, false},
    {"ClicksChooseLikeDigits", {"s", "z", "h", "s", "#1", "#0", "#1"}, "", "", "中文", 1},
    // The last choice in the other field neither promotes nor leads a learned pair.
    {"AnotherFieldStartsAfresh", {"s", "z", "h", "s", "space", "1", "|", "h"}, "一", "一二十三干", "中国", 0, 12},
};

class Fcitx5Engine : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(Fcitx5Engine, KeysCandidatesAndLearning)
{
    const Case& c = GetParam();
    TinyPack pack;
    StrokeEngineLogic logic(pack.dir());
    logic.FocusIn();
    logic.SetField(c.learning, c.association);
    QString commit, shown;
    int passed = 0;
    for (const char* name : c.keys) {
        const bool release = name[0] == '^';
        const fcitx::Key key(release ? name + 1 : name);
        if (name[0] == '|') {
            logic.FocusOut();
            logic.FocusIn();
            continue;
        }
        ASSERT_TRUE(name[0] == '#' || key.isValid()) << name;
        const bool taken = name[0] == '#' ? logic.Choose(name[1] - '0', commit)
                                          : logic.Key(DiroruStrokeEngine::keyInput(key, release), commit);
        passed += taken ? 0 : 1;
    }
    for (const StrokeEngineLogic::Candidate& k : logic.Current().candidates)
        shown += QString(k.character) + (k.promoted ? "*" : "");
    EXPECT_EQ(logic.Current().preedit, c.preedit);
    EXPECT_EQ(shown, c.candidates);
    EXPECT_EQ(commit, c.commit);
    EXPECT_EQ(passed, c.passed);
    logic.FocusOut();
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', c.learned));
}

INSTANTIATE_TEST_SUITE_P(Keys, Fcitx5Engine, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
