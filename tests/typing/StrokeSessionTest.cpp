#include "CStrokeSession.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

// What the session shows: the strokes, their candidate page and the promoted
// candidates while strokes are typed, ">" and the page of an association list.
QString shown(CStrokeSession& session)
{
    if (session.Mode == CStrokeSession::ModeAssociation)
        return QLatin1Char('>') + session.AssociationCandidates();
    return session.StrokeCode + QLatin1Char(':') + session.PageCandidates() + QLatin1Char(':') + session.Promoted;
}

// One session on the tiny pack, association pages of two: "s<digit>" a
// stroke, "c<char>" a choice, "n"/"p" the next/prior page of what is shown,
// "b" backspace (a stroke, or else the character entered).
TEST(StrokeSession, StrokesPagesPromotionAssociationAndLearning)
{
    const std::pair<const char*, const char*> steps[] = {
        {"s1", "1:一二十三干:"}, {"n", "1:王土工天大:"}, {"n", "1:王土工天大:"}, {"p", "1:一二十三干:"},
        {"p", "1:一二十三干:"}, {"s5", "15::"}, {"s1", "15::"}, // nothing matches: refused
        {"b", "1:一二十三干:"}, {"b", "::"},
        {"c我", ">们的"}, {"n", ">是国"}, {"n", ">是国"}, {"c国", ">王土"}, // 国 learned after 我
        {"s1", "1:一二十三干:王土"}, // promoted from beyond the first page
        {"c王", "::"}, {"b", "::"}, // 王 after 国, deleted: not learned
    };
    TinyPack pack;
    CStrokeSession session(pack.dir());
    session.SetPageSize(5, 2);
    session.Open();
    for (const auto& [step, expected] : steps) {
        const QString op = QString::fromUtf8(step);
        const bool listed = session.Mode == CStrokeSession::ModeAssociation;
        if (op[0] == u's')
            session.AddStroke(step[1]);
        else if (op[0] == u'c')
            session.Choose(op[1]);
        else if (op[0] == u'n')
            listed ? session.NextAssociationPage() : session.NextPage();
        else if (op[0] == u'p')
            listed ? session.PriorAssociationPage() : session.PriorPage();
        else if (!session.RemoveStroke())
            session.CancelChoice();
        EXPECT_EQ(shown(session), QString::fromUtf8(expected)) << step;
    }
    session.Close();
    EXPECT_EQ(pack.record(32 + 12), std::make_pair(u'国', quint16(4)));
    EXPECT_EQ(pack.record(20), std::make_pair(u'王', quint16(6)));
}
