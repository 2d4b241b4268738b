#include "CTypingEvaluator.h"

#include "CStrokeCode.h"

#include "CWordTable.h"
#include "ChineseChar.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

quint64 key(int prefix, char16_t c)
{
    return quint64(prefix) << 16 | c;
}

} // namespace

bool CTypingEvaluator::Load(const QString& packDir)
{
    const QString dir = packDir.endsWith(QLatin1Char('/')) ? packDir : packDir + QLatin1Char('/');
    QFile bs(dir + QStringLiteral("bs.dat"));
    if (!bs.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = bs.readAll();
    const int count = int(bytes.size() / 12);
    for (int i = 0; i < count; ++i) {
        const char* r = bytes.constData() + 12 * i;
        const QString code = QString::fromStdString(CStrokeCode::Load(r).Digits());
        const char16_t c = qFromLittleEndian<quint16>(r + 10);
        m_codes.push_back(code);
        m_chars.push_back(c);
        m_records[c].append(i);
        for (int n = 1; n <= code.size(); ++n) {
            const QString prefix = code.left(n);
            auto it = m_prefixIds.find(prefix);
            if (it == m_prefixIds.end()) {
                it = m_prefixIds.insert(prefix, int(m_prefixMatches.size()));
                m_prefixMatches.emplace_back();
            }
            std::vector<int>& matches = m_prefixMatches[size_t(*it)];
            m_positions[key(*it, c)].append(int(matches.size()));
            matches.push_back(i);
        }
    }

    // The ranked lists exactly as the keyboard's table gives them.
    CWordTable table(dir + QStringLiteral("word.idx"), dir + QStringLiteral("word.dat"));
    table.OpenFile();
    for (int e = 0; e < table.IndexCount; ++e) {
        const char16_t lead = table.IndexTable[e].Char;
        if (!table.Query(lead))
            continue;
        QList<QPair<char16_t, bool>>& list = m_lists[lead];
        for (int i = 0; i < table.WordCount; ++i)
            list.append({table.WordList[i].Char, table.WordList[i].Ref % 2 == 0});
    }
    table.CloseFile();
    return count > 0;
}

QList<int> CTypingEvaluator::Positions(int prefix, char16_t c) const
{
    return m_positions.value(key(prefix, c));
}

int CTypingEvaluator::AssociationRank(char16_t lead, char16_t c) const
{
    const auto it = m_lists.find(lead);
    if (it == m_lists.end())
        return -1;
    for (qsizetype i = 0; i < it->size(); ++i)
        if (it->at(i).first == c)
            return int(i);
    return -1;
}

CTypingEvaluator::TCost CTypingEvaluator::StrokeCost(char16_t c, char16_t previous) const
{
    TCost best;
    const auto list = previous ? m_lists.find(previous) : m_lists.end();
    // Only a shipped (even) follower is promoted.
    bool promotable = false;
    if (list != m_lists.end())
        for (const auto& [f, even] : *list)
            if (f == c && even)
                promotable = true;

    for (int record : m_records.value(c)) {
        const QString& code = m_codes[size_t(record)];
        for (int n = 1; n <= code.size(); ++n) {
            const int prefix = m_prefixIds.value(code.left(n), -1);
            const QList<int> mine = Positions(prefix, c);
            if (mine.isEmpty())
                continue;
            const int m = mine.first();
            const int plain = n + m / 5 + 1;
            if (best.Plain < 0 || plain < best.Plain)
                best.Plain = plain;
            int promoted = plain;
            if (promotable && m >= 5) {
                // The keyboard looks at the matches from the sixth on and
                // promotes the first two that follow the previous character.
                QList<int> found;
                for (const auto& [f, even] : *list)
                    if (even)
                        for (int pos : Positions(prefix, f))
                            if (pos >= 5)
                                found.append(pos);
                std::sort(found.begin(), found.end());
                for (int i = 0; i < std::min<qsizetype>(2, found.size()); ++i)
                    if (mine.contains(found[i]))
                        promoted = n + 1;
            }
            if (best.Promoted < 0 || promoted < best.Promoted)
                best.Promoted = promoted;
        }
    }
    return best;
}

CTypingEvaluator::TResult CTypingEvaluator::Type(const QString& text) const
{
    TResult result;
    char16_t previous = 0;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool cjk = IsHZ(ch) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x9FA6 && c <= 0x9FFF)
            || (c >= 0xF900 && c <= 0xFAFF) || ch.isHighSurrogate();
        if (!cjk) {
            previous = 0;
            continue;
        }
        const TCost cost = IsHZ(ch) ? StrokeCost(c, previous) : TCost();
        if (cost.Plain < 0) {
            ++result.NotFound;
            previous = 0;
            continue;
        }
        ++result.Chinese;
        result.AllStrokes += m_codes[size_t(m_records.value(c).first())].size() + 1;
        result.StrokesOnly += cost.Plain;
        int best = cost.Promoted;
        const int rank = previous ? AssociationRank(previous, c) : -1;
        if (rank >= 0 && rank / 10 + 1 < best) {
            best = rank / 10 + 1;
            ++result.ByAssociation;
        } else if (cost.Promoted < cost.Plain) {
            ++result.ByPromotion;
        }
        result.Best += best;
        result.OneTap += best == 1;
        previous = c;
    }
    return result;
}
