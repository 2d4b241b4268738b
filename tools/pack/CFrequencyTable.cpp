#include "CFrequencyTable.h"

#include "ChineseChar.h"

#include <algorithm>

void CFrequencyTable::Load(const CDictSource& source)
{
    m_frequency.clear();
    m_followers.clear();
    for (const CDictSource::TEntry& entry : source.Entries()) {
        bool ok = false;
        const qlonglong weight = entry.Columns.value(1).trimmed().toLongLong(&ok);
        if (!ok || weight <= 0)
            continue;
        const QString& text = entry.Text;
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

QList<char16_t> CFrequencyTable::ByFrequency(QList<char16_t> chars) const
{
    std::stable_sort(chars.begin(), chars.end(), [this](char16_t a, char16_t b) {
        const uint64_t fa = Frequency(a), fb = Frequency(b);
        return fa != fb ? fa > fb : a < b;
    });
    return chars;
}
