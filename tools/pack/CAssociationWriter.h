#pragma once

#include "CFrequencyTable.h"

#include <QByteArray>
#include <QList>

// Lays out word.idx and word.dat. Every character gets a list: its followers,
// strongest first, then frequent characters at Ref 0 until the list has
// MinRecords entries, so learning always has slots to take over. A follower's
// strength is its pair weight inside words plus, since lead may end a word,
// a share of lead's word-end weight by how often the follower starts words.
//
// Shipped Refs are even (the table creates only odd ones when it learns) and
// small: the list's strongest follower gets MaxRef and each halving of
// strength costs 2, down to 2 for a real follower. A learned follower starts
// at 1 and gains 2 per pick, so it passes a weak shipped one after a couple of
// picks and the strongest after MaxRef / 2 + 1. Ties keep file order, which
// is the shipped ranking.
class CAssociationWriter
{
public:
    static constexpr int MinRecords = 20;
    static constexpr int MaxRecords = 64;
    static constexpr int MaxRef = 12;
    static constexpr int BoundaryDamping = 10;

    // The shipped Ref of a follower of strength weight in a list whose
    // strongest follower has strength top.
    static quint16 Ref(uint64_t weight, uint64_t top);

    // chars: the characters that get lists; fillers: the word starts that may
    // follow a word end, and pad the lists, most useful first.
    void Build(const CFrequencyTable& frequency, QList<char16_t> chars, const QList<char16_t>& fillers);

    const QByteArray& Index() const { return m_index; }
    const QByteArray& Data() const { return m_data; }

private:
    QByteArray m_index;
    QByteArray m_data;
};
