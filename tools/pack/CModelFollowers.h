#pragma once

#include <QByteArray>
#include <QString>

class CLanguageModelFile;

#include <map>

// Which character follows which in running text, from a language model.
// Across a word boundary: each bigram w1 w2 adds P(w1)·P(w2|w1), the share
// of all running text that is w1 followed by w2, to the pair (last character
// of w1, first character of w2). The model's back-off mass is left out: only
// listed bigrams count, or the commonest word starts would follow every
// character. Inside words: each pair of adjacent characters of a model word
// w adds InWordShare·P(w); the model's word probabilities come from running
// text, which the word list's weights only roughly reflect, and typing
// trials on manual pages found half their weight best. Pairs with a
// character outside U+4E00..U+9FA5 are passed over.
class CModelFollowers
{
public:
    static constexpr double InWordShare = 0.5;

    // Takes the pairs of an open model; with a non-empty OpenCC configuration
    // (s2twp.json) its words are converted first, for a pack of the other
    // script.
    bool Load(const CLanguageModelFile& model, const QString& openccConfig, QString* error);

    // Counts probability more of follower after lead.
    void Add(char16_t lead, char16_t follower, double probability) { m_followers[lead][follower] += probability; }
    // Probability of lead followed by each character.
    const std::map<char16_t, double>& Followers(char16_t lead) const;
    qsizetype BigramCount() const { return m_bigrams; }

    // The OpenCC conversion of UTF-8 text; false with a message when the
    // configuration cannot be opened.
    static bool Convert(const QByteArray& utf8, const QString& config, QByteArray* out, QString* error);

private:
    std::map<char16_t, std::map<char16_t, double>> m_followers;
    qsizetype m_bigrams = 0;
};
