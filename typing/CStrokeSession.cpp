#include "CStrokeSession.h"

#include "CBHWordLib.h"
#include "CWordTable.h"
#include "ChineseChar.h"

CStrokeSession::CStrokeSession(const QString& dataDir)
    : WordLib(new CBHWordLib(dataDir + QStringLiteral("bs.dat"))),
      WordTable(new CWordTable(dataDir + QStringLiteral("word.idx"), dataDir + QStringLiteral("word.dat")))
{
    SetPageSize(StrokePageSize, AssociationPageSize);
}

CStrokeSession::~CStrokeSession()
{
    delete WordLib;
    delete WordTable;
}

void CStrokeSession::Open()
{
    WordLib->OpenFile();
    WordTable->OpenFile();
    // bs.dat may have changed while input had no focus.
    if (Mode == ModeStroke)
        runQuery();
}

void CStrokeSession::Close()
{
    WordTable->CloseFile();
    WordLib->CloseFile();
}

void CStrokeSession::runQuery()
{
    Promoted.clear();
    QueryFound = WordLib->Query(StrokeCode);
    if (!QueryFound)
        return;
    uint16_t found[2] = {0, 0};
    const int n = FindPromoted(found);
    for (int k = 0; k < n; ++k)
        Promoted += QChar(found[k]);
}

bool CStrokeSession::AddStroke(char digit)
{
    if (Mode == ModeAssociation || Mode == ModeIdle) {
        Mode = ModeStroke;
        StrokeCode.clear();
        WordLib->Reset();
        QueryFound = false;
    } else if (!StrokeCode.isEmpty() && (!QueryFound || StrokeCode.length() >= MaxStrokes)) {
        return false;
    }
    StrokeCode.append(QLatin1Char(digit));
    runQuery();
    return true;
}

bool CStrokeSession::RemoveStroke()
{
    if (Mode != ModeStroke || StrokeCode.isEmpty())
        return false;
    StrokeCode.chop(1);
    if (StrokeCode.isEmpty()) {
        Mode = ModeIdle;
        Promoted.clear();
    } else {
        runQuery();
    }
    return true;
}

void CStrokeSession::Clear()
{
    Mode = ModeIdle;
    StrokeCode.clear();
    Promoted.clear();
}

QString CStrokeSession::StrokeGlyphs() const
{
    // Indexed by stroke digit: 1 一 2 丨 3 丿 4 丶 5 乛 7 the wildcard.
    static const QString glyphs = QStringLiteral("?一丨丿丶乛?？");
    QString out;
    for (QChar d : StrokeCode)
        out += glyphs.at(qBound(0, d.unicode() - '0', 7));
    return out;
}

QString CStrokeSession::PageCandidates()
{
    QString out;
    if (Mode != ModeStroke || !QueryFound)
        return out;
    WordLib->PageFirst();
    out += WordLib->RecValue();
    for (int n = 1; n < WordLib->PageSize && WordLib->Next(); ++n)
        out += WordLib->RecValue();
    return out;
}

bool CStrokeSession::NextPage()
{
    return Mode == ModeStroke && QueryFound && !WordLib->Eof() && WordLib->NextPage();
}

bool CStrokeSession::PriorPage()
{
    return Mode == ModeStroke && QueryFound && !WordLib->Bof() && WordLib->PriorPage();
}

void CStrokeSession::Choose(QChar ch)
{
    Mode = ModeIdle;
    StrokeCode.clear();
    Promoted.clear();
    if (!IsHZ(ch)) {
        HasAssociation = false;
        return;
    }
    if (HasAssociation && Learning)
        WordTable->UpdateWordRef(ch.unicode());
    HasAssociation = WordTable->Query(ch.unicode());
    AssociationIndex = 0;
    if (HasAssociation && Association && WordTable->WordCount > 0)
        Mode = ModeAssociation;
}

void CStrokeSession::CancelChoice()
{
    WordTable->CancelUpdate();
}

void CStrokeSession::ForgetChoice()
{
    if (Mode == ModeAssociation)
        Mode = ModeIdle;
    HasAssociation = false;
    WordTable->ClearWords();
}

QString CStrokeSession::AssociationCandidates() const
{
    QString out;
    if (Mode != ModeAssociation)
        return out;
    for (int i = AssociationIndex; i < WordTable->WordCount && i < AssociationIndex + AssociationPageSize; ++i)
        out += WordTable->GetWord(i);
    return out;
}

bool CStrokeSession::NextAssociationPage()
{
    if (Mode != ModeAssociation || AssociationIndex + AssociationPageSize >= WordTable->WordCount)
        return false;
    AssociationIndex += AssociationPageSize;
    return true;
}

bool CStrokeSession::PriorAssociationPage()
{
    if (Mode != ModeAssociation || AssociationIndex == 0)
        return false;
    AssociationIndex = qMax(0, AssociationIndex - AssociationPageSize);
    return true;
}

void CStrokeSession::SetLearning(bool on)
{
    if (on && !Learning)
        HasAssociation = false;
    Learning = on;
}

void CStrokeSession::SetPageSize(int stroke, int association)
{
    WordLib->PageSize = qMax(1, stroke);
    AssociationPageSize = qMax(1, association);
    WordTable->PageSize = AssociationPageSize;
}

bool CStrokeSession::collectFollowers()
{
    m_followers.clear();
    // Only shipped associations (even Ref) promote a candidate. An entry of
    // character 0 is passed over, not taken for the end of the list.
    for (int j = 0; j < WordTable->WordCount; ++j) {
        const uint16_t code = WordTable->GetWordCode(j);
        if (j >= WordTable->WordCount)
            break;
        if (code != 0)
            m_followers.push_back(code);
    }
    return !m_followers.empty();
}

int CStrokeSession::FindPromoted(uint16_t found[2])
{
    if (WordTable->WordCount <= 0 || !collectFollowers())
        return 0;
    const int n = WordLib->FindFirstOf(StrokePageSize, m_followers.data(), int(m_followers.size()), found);
    return n >= 0 ? n : FindPromotedByWalk(found);
}

int CStrokeSession::FindPromotedByWalk(uint16_t found[2])
{
    if (WordTable->WordCount <= 0 || !collectFollowers())
        return 0;
    std::vector<uint64_t> followers(65536 / 64);
    for (uint16_t code : m_followers)
        followers[code / 64] |= uint64_t(1) << (code % 64);
    // Start at the sixth match, the first beyond the first page.
    int i = 0;
    uint16_t code = 0;
    for (int n = 0; n <= StrokePageSize; ++n) {
        code = WordLib->GetWordCode(i);
        ++i;
        if (code == 0)
            break;
    }
    int count = 0;
    while (code != 0 && count < 2) {
        // A character may have two records (two stroke orders): never
        // promote it into both places.
        const bool repeat = count == 1 && found[0] == code;
        if (!repeat && (followers[code / 64] >> (code % 64) & 1))
            found[count++] = code;
        if (count < 2) {
            code = WordLib->GetWordCode(i);
            ++i;
        }
    }
    return count;
}
