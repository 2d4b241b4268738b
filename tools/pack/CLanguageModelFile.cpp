#include "CLanguageModelFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const char Magic[] = "mmap lm http://kheafield.com/code format version 5\n";
constexpr uint64_t CountsAt = 0x6C;     // after the sanity block and the fixed parameters
constexpr int QuantArrayTrie = 5;       // KenLM's model type number

uint8_t requiredBits(uint64_t max)
{
    uint8_t bits = 0;
    while (max >> bits)
        ++bits;
    return bits;
}

} // namespace

uint64_t CLanguageModelFile::Bits(const uint8_t* base, uint64_t bit, uint8_t length)
{
    uint64_t word;
    std::memcpy(&word, base + (bit >> 3), sizeof word);
    return (qFromLittleEndian(word) >> (bit & 7)) & ((uint64_t(1) << length) - 1);
}

bool CLanguageModelFile::Open(const QString& fileName, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    m_file = file.readAll();
    m_words.clear();
    m_unigrams.clear();
    const auto fail = [&](const char* what) {
        *error = QStringLiteral("%1: %2").arg(fileName, QLatin1String(what));
        return false;
    };
    const uint8_t* data = reinterpret_cast<const uint8_t*>(m_file.constData());
    const uint64_t size = uint64_t(m_file.size());
    if (size < CountsAt + 24 || !m_file.startsWith(Magic))
        return fail("not a KenLM binary model of format version 5");
    if (data[0x58] != 3 || qFromLittleEndian<quint32>(data + 0x60) != QuantArrayTrie || data[0x64] != 1)
        return fail("not a quantized array trie of order 3 with its vocabulary");
    for (int i = 0; i < 3; ++i)
        m_counts[i] = qFromLittleEndian<quint64>(data + CountsAt + 8 * i);
    const uint64_t maxCount = uint64_t(1) << 40;
    if (m_counts[0] < 2 || m_counts[0] > std::numeric_limits<uint32_t>::max() - 2 || m_counts[1] > maxCount
        || m_counts[2] > maxCount)
        return fail("implausible n-gram counts");

    // The sorted vocabulary hashes, then the quantization tables.
    uint64_t at = (CountsAt + 24 + 7) / 8 * 8;
    at += 8 + 8 * m_counts[0];
    if (at + 8 > size)
        return fail("truncated");
    m_probBits = data[at + 1];
    m_backoffBits = data[at + 2];
    if (m_probBits == 0 || m_probBits > 25 || m_backoffBits == 0 || m_backoffBits > 25)
        return fail("unexpected quantization");
    const uint64_t probTable = uint64_t(1) << m_probBits, backoffTable = uint64_t(1) << m_backoffBits;
    const uint64_t tables = at + 8;
    at = tables + 4 * (probTable + backoffTable + probTable);

    const uint64_t unigrams = at;
    at += sizeof(TUnigram) * (m_counts[0] + 2);
    if (at + 8 > size)
        return fail("truncated");
    m_bigramProb.resize(probTable);
    for (uint64_t i = 0; i < probTable; ++i)
        m_bigramProb[i] = qFromLittleEndian<float>(data + tables + 4 * i);
    m_unigrams.resize(m_counts[0] + 1);
    for (uint64_t i = 0; i <= m_counts[0]; ++i) {
        const uint8_t* u = data + unigrams + sizeof(TUnigram) * i;
        m_unigrams[i] = {qFromLittleEndian<float>(u), qFromLittleEndian<float>(u + 4), qFromLittleEndian<quint64>(u + 8)};
        if (m_unigrams[i].Next > m_counts[1] || (i && m_unigrams[i].Next < m_unigrams[i - 1].Next))
            return fail("bigram pointers out of order");
    }

    // The bigrams: the trigram pointers are split between a table of their
    // high bits (whose width KenLM chose to minimise size) and low bits kept
    // in each entry.
    const uint8_t pointerBits = data[at + 1];
    const uint64_t maxOffset = m_counts[1] + 1, maxNext = m_counts[2];
    const uint8_t required = requiredBits(maxNext);
    uint8_t chop = 0;
    int64_t lowest = std::numeric_limits<int64_t>::max();
    for (uint8_t c = 0; c <= std::min(required, pointerBits); ++c) {
        const int64_t change = int64_t(maxNext >> (required - c)) * 64 - int64_t(maxOffset) * c;
        if (change < lowest) {
            lowest = change;
            chop = c;
        }
    }
    at += 8 * (1 + (maxNext >> (required - chop)) + 1) + 7;
    m_wordBits = requiredBits(m_counts[0]);
    m_bigramBits = uint8_t(m_wordBits + m_probBits + m_backoffBits + required - chop);
    const uint64_t bigrams = at;
    at += ((1 + m_counts[1]) * m_bigramBits + 7) / 8 + 8;
    at += ((1 + m_counts[2]) * (m_wordBits + m_probBits) + 7) / 8 + 8; // trigrams
    if (at > size)
        return fail("truncated");
    m_bigrams = data + bigrams;

    // The vocabulary follows as NUL-terminated strings in index order.
    const QList<QByteArray> words = m_file.mid(qsizetype(at)).split('\0');
    if (uint64_t(words.size()) < m_counts[0] || words.first() != "<unk>")
        return fail("no vocabulary where the trie ends");
    m_words.reserve(qsizetype(m_counts[0]));
    for (uint64_t i = 0; i < m_counts[0]; ++i)
        m_words.append(QString::fromUtf8(words[qsizetype(i)]));
    return true;
}
