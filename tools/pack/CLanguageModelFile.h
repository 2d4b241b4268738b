#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Reads the bigrams of a KenLM binary language model (format version 5, a
// quantized array trie of order 3 with its vocabulary stored, as libime's
// zh_CN.lm is). KenLM keys its trie on the last word: unigram w2 points at
// the bigram entries w1 w2, each holding w1's index, the quantized
// log10 P(w2|w1) and back-off, and a compressed pointer into the trigrams.
// Only the bigrams the model lists are visited; back-off estimates for pairs
// it does not list are not made up.
class CLanguageModelFile
{
public:
    // False with a message when the file cannot be read or is not such a
    // model; every offset is checked against the file's size.
    bool Open(const QString& fileName, QString* error);

    // The vocabulary by word index (index 0 is <unk>).
    const QStringList& Words() const { return m_words; }
    qsizetype BigramCount() const { return qsizetype(m_counts[1]); }
    // log10 P(w) of word index w.
    double Unigram(uint32_t w) const { return w < m_counts[0] ? double(m_unigrams[w].Prob) : -99.0; }

    // Calls visit(w1, w2, log10 of P(w1)·P(w2|w1)) for every listed bigram,
    // with word indexes into Words().
    template <class Visit> void ForEachBigram(Visit visit) const
    {
        for (uint32_t w2 = 0; w2 < m_counts[0]; ++w2)
            for (uint64_t j = m_unigrams[w2].Next; j < m_unigrams[w2 + 1].Next; ++j) {
                const uint64_t bit = j * m_bigramBits;
                const uint32_t w1 = uint32_t(Bits(m_bigrams, bit, m_wordBits));
                if (w1 >= m_counts[0])
                    continue;
                const float prob = m_bigramProb[Bits(m_bigrams, bit + m_wordBits + m_backoffBits, m_probBits)];
                visit(w1, w2, double(m_unigrams[w1].Prob) + double(prob));
            }
    }

private:
    struct TUnigram {
        float Prob;
        float Backoff;
        uint64_t Next; // first bigram entry whose last word this is
    };
    static_assert(sizeof(TUnigram) == 16, "KenLM unigram records are 16 bytes");

    // The length bits at bit offset bit of base, KenLM's unaligned
    // little-endian read (the arrays are padded by 8 bytes for it).
    static uint64_t Bits(const uint8_t* base, uint64_t bit, uint8_t length);

    QByteArray m_file;
    uint64_t m_counts[3] = {0, 0, 0};
    uint8_t m_probBits = 0, m_backoffBits = 0, m_wordBits = 0, m_bigramBits = 0;
    std::vector<TUnigram> m_unigrams;
    std::vector<float> m_bigramProb; // the bigram probability table
    const uint8_t* m_bigrams = nullptr;
    QStringList m_words;
};
