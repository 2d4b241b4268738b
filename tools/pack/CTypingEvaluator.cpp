#include "CTypingEvaluator.h"

#include "CStrokeCode.h"

#include "CWordTable.h"
#include "ChineseChar.h"

#include <QFile>
#include <QTemporaryDir>
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

    m_dir = dir;
    return count > 0 && QFile::exists(dir + QStringLiteral("word.idx")) && QFile::exists(dir + QStringLiteral("word.dat"));
}

QList<int> CTypingEvaluator::Positions(int prefix, char16_t c) const
{
    return m_positions.value(key(prefix, c));
}

CTypingEvaluator::TCost CTypingEvaluator::StrokeCost(char16_t c, const QSet<char16_t>& followers) const
{
    TCost best;
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
            if (m >= 5 && followers.contains(c)) {
                // The keyboard walks the matches from the sixth on and
                // promotes the first two distinct characters that follow the
                // previous one with a shipped weight.
                const std::vector<int>& matches = m_prefixMatches[size_t(prefix)];
                char16_t first = 0;
                int found = 0;
                for (size_t i = 5; i < matches.size() && found < 2; ++i) {
                    const char16_t f = m_chars[size_t(matches[i])];
                    if ((found == 1 && f == first) || !followers.contains(f))
                        continue;
                    if (f == c)
                        promoted = n + 1;
                    first = f;
                    ++found;
                }
            }
            if (best.Promoted < 0 || promoted < best.Promoted)
                best.Promoted = promoted;
        }
    }
    return best;
}

CTypingEvaluator::TResult CTypingEvaluator::Type(const QString& text, bool learn) const
{
    // The lists are read and learned exactly as the keyboard does, by its
    // own table, on a copy of the pack's word.dat.
    TResult result;
    QTemporaryDir work;
    const QString idx = work.filePath(QStringLiteral("word.idx")), dat = work.filePath(QStringLiteral("word.dat"));
    if (!QFile::copy(m_dir + QStringLiteral("word.idx"), idx) || !QFile::copy(m_dir + QStringLiteral("word.dat"), dat))
        return result;
    CWordTable table(idx, dat);
    table.OpenFile();

    char16_t previous = 0;
    QSet<char16_t> followers; // shipped (even) followers of previous
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool cjk = IsHZ(ch) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x9FA6 && c <= 0x9FFF)
            || (c >= 0xF900 && c <= 0xFAFF) || ch.isHighSurrogate();
        if (!cjk) {
            previous = 0;
            continue;
        }
        const bool listed = previous && table.Query(previous);
        followers.clear();
        int rank = -1;
        for (int i = 0; listed && i < table.WordCount; ++i) {
            if (table.WordList[i].Ref % 2 == 0)
                followers.insert(table.WordList[i].Char);
            if (rank < 0 && table.WordList[i].Char == c)
                rank = i;
        }
        const TCost cost = IsHZ(ch) ? StrokeCost(c, followers) : TCost();
        if (cost.Plain < 0) {
            ++result.NotFound;
            previous = 0;
            continue;
        }
        ++result.Chinese;
        result.AllStrokes += m_codes[size_t(m_records.value(c).first())].size() + 1;
        result.StrokesOnly += cost.Plain;
        int best = cost.Promoted;
        if (rank >= 0 && rank / 10 + 1 < best) {
            best = rank / 10 + 1;
            ++result.ByAssociation;
        } else if (cost.Promoted < cost.Plain) {
            ++result.ByPromotion;
        }
        result.Best += best;
        result.OneTap += best == 1;
        if (learn && listed)
            table.UpdateWordRef(c);
        previous = c;
    }
    table.CloseFile();
    return result;
}
