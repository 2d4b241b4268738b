#include "CFrequencyTable.h"

#include "ChineseChar.h"

#include <algorithm>

void CFrequencyTable::Load(const CDictSource& source)
{
    m_frequency.clear();
    m_start.clear();
    m_totalStart = 0;
    m_followers.clear();
    for (const CDictSource::TEntry& entry : source.Entries()) {
        bool ok = false;
        // The weight is the last column: after the reading in a rime
        // dictionary, alone in a word list such as essay.txt.
        const qlonglong weight = entry.Columns.last().trimmed().toLongLong(&ok);
        if (!ok || weight <= 0)
            continue;
        const QString& text = entry.Text;
        if (IsHZ(text[0])) {
            m_start[text[0].unicode()] += uint64_t(weight);
            m_totalStart += uint64_t(weight);
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!IsHZ(text[i]))
                continue;
            m_frequency[text[i].unicode()] += uint64_t(weight);
            if (i + 1 < text.size() && IsHZ(text[i + 1]))
                m_followers[text[i].unicode()][text[i + 1].unicode()] += uint64_t(weight);
        }
    }
}

uint64_t CFrequencyTable::Frequency(char16_t c) const
{
    const auto it = m_frequency.find(c);
    return it == m_frequency.end() ? 0 : it->second;
}

const std::map<char16_t, uint64_t>& CFrequencyTable::Followers(char16_t c) const
{
    static const std::map<char16_t, uint64_t> none;
    const auto it = m_followers.find(c);
    return it == m_followers.end() ? none : it->second;
}

uint64_t CFrequencyTable::StartFrequency(char16_t c) const
{
    const auto it = m_start.find(c);
    return it == m_start.end() ? 0 : it->second;
}

namespace {

QList<char16_t> sortedBy(QList<char16_t> chars, const std::map<char16_t, uint64_t>& weights)
{
    auto weight = [&weights](char16_t c) {
        const auto it = weights.find(c);
        return it == weights.end() ? uint64_t(0) : it->second;
    };
    std::stable_sort(chars.begin(), chars.end(), [&weight](char16_t a, char16_t b) {
        const uint64_t wa = weight(a), wb = weight(b);
        return wa != wb ? wa > wb : a < b;
    });
    return chars;
}

} // namespace

QList<char16_t> CFrequencyTable::ByFrequency(QList<char16_t> chars) const
{
    return sortedBy(chars, m_frequency);
}

QList<char16_t> CFrequencyTable::ByStartFrequency(QList<char16_t> chars) const
{
    return sortedBy(chars, m_start);
}
