#pragma once

#include "CDictSource.h"

#include <QList>

#include <cstdint>
#include <map>

// Character frequencies and character-pair strengths from a weighted word
// list (text, reading, weight, or text and weight). A character's frequency is its own weight
// plus the weight of every word it occurs in: the own weights alone rank
// many everyday characters far too low, since most of their use is inside
// words. Ordered maps keep every later step deterministic.
class CFrequencyTable
{
public:
    void Load(const CDictSource& source);

    uint64_t Frequency(char16_t c) const;
    // How often c begins a word (single characters count as words): a good
    // guess at what comes after the end of any word.
    uint64_t StartFrequency(char16_t c) const;
    uint64_t TotalStartFrequency() const { return m_totalStart; }
    // Followers of c: for every word, each Chinese character followed by
    // another inside it adds the word's weight to that pair.
    const std::map<char16_t, uint64_t>& Followers(char16_t c) const;
    const std::map<char16_t, std::map<char16_t, uint64_t>>& AllFollowers() const { return m_followers; }

    // The given characters sorted by falling frequency, ties by code.
    QList<char16_t> ByFrequency(QList<char16_t> chars) const;
    // The same by falling start frequency.
    QList<char16_t> ByStartFrequency(QList<char16_t> chars) const;

private:
    std::map<char16_t, uint64_t> m_frequency;
    std::map<char16_t, uint64_t> m_start;
    uint64_t m_totalStart = 0;
    std::map<char16_t, std::map<char16_t, uint64_t>> m_followers;
};
