// The session that frontends without the panel type through, set against
// the panel itself: the same taps on the same pack must give the same
// candidates, promoted candidates, association lists and word.dat bytes.
#include "CBHKBD.h"
#include "CStrokeSession.h"
#include "KeyboardTestSupport.h"
#include "TinyPack.h"

#include <map>

namespace {

// Steps: "s<digits>" strokes, "c<char>" choose, "n"/"p" next/prior page,
// "b" backspace (a stroke, or else the character entered).
const std::vector<std::vector<QString>> Scripts = {
    // 中 国 (learned after 中), then strokes under 国's list: 王 and 土 are
    // promoted; 王 is learned after 国 from the second page.
    {"s2512", "c中", "n", "c国", "s1", "n", "p", "n", "c王", "s34", "c人", "c们"},
    // A stroke past a code that matches nothing is refused; backspaces;
    // a stroke ends the association list; a deleted choice is not learned.
    {"s11", "s5", "s5", "b", "b", "s2", "c十", "s3121534", "c我", "c们", "b", "s3121534", "c我",
     "s25112141", "c国", "c王"},
    // The wildcard, a character learned in place of the weakest follower.
    {"s7", "s1", "c二", "s3121534", "c我", "s2512", "c中", "c心", "s25112141", "c国", "c人", "s34", "c人"},
};

const std::map<QChar, int> StrokeKeys = {{u'1', 11}, {u'2', 12}, {u'3', 13}, {u'4', 16}, {u'5', 17}, {u'7', 18}};

class SessionAgainstPanel : public KeyboardTest, public ::testing::WithParamInterface<size_t>
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        AppPath = panelPack.dir();
        kbd = &show<CBHKBD>(QStringLiteral("none.gif"));
        kbd->onShow();
        session.SetPageSize(5, 10); // the panel's association page is ten cells
        session.Open();
    }

    void step(const QString& s)
    {
        const bool listed = session.Mode == CStrokeSession::ModeAssociation;
        switch (s.at(0).unicode()) {
        case u's':
            for (QChar d : s.mid(1)) {
                type({StrokeKeys.at(d)});
                session.AddStroke(char(d.unicode()));
            }
            break;
        case u'c':
            ASSERT_GE(cells(*kbd).indexOf(s.at(1)), 0) << "not shown";
            kbd->onSelect(cells(*kbd).indexOf(s.at(1)));
            session.Choose(s.at(1));
            break;
        case u'n':
            kbd->onNext();
            listed ? session.NextAssociationPage() : session.NextPage();
            break;
        case u'p':
            kbd->onPrior();
            listed ? session.PriorAssociationPage() : session.PriorPage();
            break;
        case u'b':
            if (!session.RemoveStroke())
                session.CancelChoice();
            kbd->onBackSpace();
        }
    }

    // What the panel would show for the session's state.
    QString expectedCells()
    {
        const auto fill = [](const QString& shown, int first) {
            return shown + __DefaultWords.mid(first + shown.size(), CKBD::CellCount - first - shown.size());
        };
        if (session.Mode == CStrokeSession::ModeAssociation)
            return fill(session.AssociationCandidates(), 0);
        const QString promoted = session.Promoted.leftJustified(2, u' ');
        return promoted.left(1) + cells(*kbd, 1, 3) + promoted.mid(1) + fill(session.PageCandidates(), 5);
    }

    TinyPack panelPack, sessionPack;
    CBHKBD* kbd = nullptr;
    CStrokeSession session{sessionPack.dir()};
};

} // namespace

TEST_P(SessionAgainstPanel, SameCandidatesPromotionAssociationAndLearning)
{
    const QByteArray shipped = sessionPack.wordDat();
    int compared = 0;
    for (const QString& s : Scripts[GetParam()]) {
        SCOPED_TRACE(s.toStdString());
        step(s);
        ASSERT_EQ(kbd->StrokeCode, session.StrokeCode);
        const bool panelShowsList = kbd->Mode == CBHKBD::ModeAssociation && kbd->HasAssociation;
        ASSERT_EQ(panelShowsList, session.Mode == CStrokeSession::ModeAssociation);
        if (panelShowsList || (!kbd->StrokeCode.isEmpty() && kbd->QueryFound && !kbd->DefaultShown)) {
            EXPECT_EQ(cells(*kbd), expectedCells());
            ++compared;
        }
    }
    EXPECT_GT(compared, 5);
    kbd->onHide();
    session.Close();
    EXPECT_NE(sessionPack.wordDat(), shipped);
    EXPECT_EQ(sessionPack.wordDat(), panelPack.wordDat());
}

INSTANTIATE_TEST_SUITE_P(Scripts, SessionAgainstPanel, ::testing::Range<size_t>(0, Scripts.size()));
