// The session that frontends without the panel type through, set against
// the panel itself: the same taps on the same pack must give the same
// candidates, promoted candidates, association lists and word.dat bytes.
// And two of them learning into one word.dat never overwrite each other.
#include "CBHKBD.h"
#include "CStrokeSession.h"
#include "CWordTable.h"
#include "KeyboardTestSupport.h"
#include "TinyPack.h"

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

const std::map<QChar, int> PanelKey = {{u'1', 11}, {u'2', 12}, {u'3', 13}, {u'4', 16}, {u'5', 17}, {u'7', 18}};

class SessionAgainstPanel : public KeyboardTest, public ::testing::WithParamInterface<size_t>
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        AppPath = panelPack.dir();
        kbd = std::make_unique<CBHKBD>(&owner, QStringLiteral("none.gif"));
        owner.Keyboard = kbd.get();
        kbd->onShow();
        session = std::make_unique<CStrokeSession>(sessionPack.dir());
        session->SetPageSize(5, 10); // the panel's association page is ten cells
        session->Open();
    }

    void step(const QString& s)
    {
        const QChar op = s.at(0);
        if (op == u's') {
            for (QChar d : s.mid(1)) {
                type({PanelKey.at(d)});
                session->AddStroke(char(d.unicode()));
            }
        } else if (op == u'c') {
            int cell = 0;
            while (cell < CKBD::CellCount && kbd->Words[cell] != s.mid(1))
                ++cell;
            ASSERT_LT(cell, CKBD::CellCount) << "not shown";
            kbd->onSelect(cell);
            session->Choose(s.at(1));
        } else if (op == u'n') {
            kbd->onNext();
            session->Mode == CStrokeSession::ModeAssociation ? session->NextAssociationPage() : session->NextPage();
        } else if (op == u'p') {
            kbd->onPrior();
            session->Mode == CStrokeSession::ModeAssociation ? session->PriorAssociationPage() : session->PriorPage();
        } else if (op == u'b') {
            const bool stroke = session->RemoveStroke();
            if (!stroke)
                session->CancelChoice();
            kbd->onBackSpace();
        }
    }

    // What the panel would show for the session's state.
    QString expectedCells()
    {
        const auto fill = [](const QString& shown, int first) {
            return shown + __DefaultWords.mid(first + shown.size(), CKBD::CellCount - first - shown.size());
        };
        if (session->Mode == CStrokeSession::ModeAssociation)
            return fill(session->AssociationCandidates(), 0);
        const QString promoted = session->Promoted.leftJustified(2, u' ');
        return promoted.left(1) + cells(*kbd, 1, 3) + promoted.mid(1) + fill(session->PageCandidates(), 5);
    }

    TinyPack panelPack, sessionPack;
    std::unique_ptr<CBHKBD> kbd;
    std::unique_ptr<CStrokeSession> session;
};

} // namespace

TEST_P(SessionAgainstPanel, SameCandidatesPromotionAssociationAndLearning)
{
    const QByteArray shipped = sessionPack.wordDat();
    int compared = 0;
    for (const QString& s : Scripts[GetParam()]) {
        SCOPED_TRACE(s.toStdString());
        step(s);
        ASSERT_EQ(kbd->StrokeCode, session->StrokeCode);
        const bool panelShowsList = kbd->Mode == CBHKBD::ModeAssociation && kbd->HasAssociation;
        ASSERT_EQ(panelShowsList, session->Mode == CStrokeSession::ModeAssociation);
        if (panelShowsList || (!kbd->StrokeCode.isEmpty() && kbd->QueryFound && !kbd->DefaultShown)) {
            EXPECT_EQ(cells(*kbd), expectedCells());
            ++compared;
        }
    }
    EXPECT_GT(compared, 5);
    kbd->onHide();
    session->Close();
    EXPECT_NE(sessionPack.wordDat(), shipped);
    EXPECT_EQ(sessionPack.wordDat(), panelPack.wordDat());
}

INSTANTIATE_TEST_SUITE_P(Scripts, SessionAgainstPanel, ::testing::Range<size_t>(0, Scripts.size()));

// Two frontends learning into one word.dat: one changes a record the other
// also read before; the other's change, computed from the old record, must
// be dropped rather than written over it.
TEST(SharedWordDat, AChangeBasedOnAReplacedRecordIsDropped)
{
    TinyPack pack;
    CStrokeSession a(pack.dir()), b(pack.dir());
    a.Open();
    b.Open();
    // Both load 我's list (们 8, 的 6, 是 4, 国 2 at offset 44), then 国's,
    // which counts a use of 国 after 我, still pending in each.
    for (CStrokeSession* s : {&a, &b}) {
        s->Choose(u'我');
        s->Choose(u'国');
    }
    // b's pending count goes to the file; then b learns 中 after 我 in
    // place of the weakest follower, 国, and writes it.
    b.Choose(u'我');
    b.Choose(u'中');
    b.Close();
    ASSERT_EQ(pack.record(44), std::make_pair(u'中', quint16(1)));
    // a's count of 国 was computed from the record b replaced.
    a.Choose(u'王');
    a.Close();
    EXPECT_EQ(pack.record(44), std::make_pair(u'中', quint16(1)));
}
