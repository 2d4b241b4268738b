#pragma once

#include "CFrequencyTable.h"
#include "CModelFollowers.h"

#include <QByteArray>
#include <QList>

// Lays out word.idx and word.dat. Every character gets a list: its followers,
// strongest first, then frequent characters at Ref 0 until the list has
// MinRecords entries, so learning always has slots to take over. A follower's
// strength is its pair weight inside the word list's words plus how often the
// language model sees the pair in running text (see CModelFollowers), in the
// same units: the model's probability times the word list's total weight.
//
// Shipped Refs are even (the table creates only odd ones when it learns) and
// small: the list's strongest follower gets MaxRef and each halving of
// strength costs 2, down to 0 for the weakest followers, the slots learning
// takes over first. A learned follower starts at 1 and gains 2 per pick, so
// it passes the weakest shipped ones at once and the strongest after
// MaxRef / 2 + 1 picks: a user's own habits soon lead. Ties keep file order,
// which is the shipped ranking.
class CAssociationWriter
{
public:
    static constexpr int MinRecords = 20;
    static constexpr int MaxRecords = 300;
    static constexpr int MaxRef = 4;

    // The shipped Ref of a follower of strength weight in a list whose
    // strongest follower has strength top.
    static quint16 Ref(double weight, double top);

    // chars: the characters that get lists; fillers: the commonest word
    // starts, which pad the lists.
    void Build(const CFrequencyTable& frequency, const CModelFollowers& model, QList<char16_t> chars,
               const QList<char16_t>& fillers);

    const QByteArray& Index() const { return m_index; }
    const QByteArray& Data() const { return m_data; }

private:
    QByteArray m_index;
    QByteArray m_data;
};
