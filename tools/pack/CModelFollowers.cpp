#include "CModelFollowers.h"

#include "CLanguageModelFile.h"
#include "ChineseChar.h"

#include <QFile>

#include <opencc/opencc.h>

#include <cmath>
#include <unordered_map>
#include <vector>

bool CModelFollowers::Convert(const QByteArray& utf8, const QString& config, QByteArray* out, QString* error)
{
    const opencc_t converter = opencc_open(QFile::encodeName(config).constData());
    if (converter == opencc_t(-1)) {
        *error = QStringLiteral("cannot open the OpenCC configuration %1: %2").arg(config, QString::fromUtf8(opencc_error()));
        return false;
    }
    char* converted = opencc_convert_utf8(converter, utf8.constData(), size_t(utf8.size()));
    const bool ok = converted != nullptr;
    if (ok)
        *out = QByteArray(converted);
    else
        *error = QStringLiteral("OpenCC cannot convert: %1").arg(QString::fromUtf8(opencc_error()));
    opencc_convert_utf8_free(converted);
    opencc_close(converter);
    return ok;
}

bool CModelFollowers::Load(const CLanguageModelFile& model, const QString& openccConfig, QString* error)
{
    m_followers.clear();
    m_bigrams = 0;
    QStringList words = model.Words();
    if (!openccConfig.isEmpty()) {
        // One call for the whole vocabulary: converting word by word would
        // cost a second per hundred thousand calls.
        QByteArray converted;
        if (!Convert(words.join(QLatin1Char('\n')).toUtf8(), openccConfig, &converted, error))
            return false;
        words = QString::fromUtf8(converted).split(QLatin1Char('\n'));
        if (words.size() != model.Words().size()) {
            *error = QStringLiteral("OpenCC changed the number of the model's words");
            return false;
        }
    }
    std::vector<char16_t> first(size_t(words.size()), 0), last(size_t(words.size()), 0);
    for (qsizetype i = 0; i < words.size(); ++i)
        if (!words[i].isEmpty() && IsHZ(words[i].front()) && IsHZ(words[i].back())) {
            first[size_t(i)] = words[i].front().unicode();
            last[size_t(i)] = words[i].back().unicode();
        }
    std::unordered_map<uint32_t, double> pairs;
    model.ForEachBigram([&](uint32_t w1, uint32_t w2, double log10Joint) {
        if (!last[w1] || !first[w2])
            return;
        pairs[uint32_t(last[w1]) << 16 | first[w2]] += std::pow(10.0, log10Joint);
        ++m_bigrams;
    });
    for (qsizetype i = 0; i < words.size(); ++i) {
        const double p = InWordShare * std::pow(10.0, model.Unigram(uint32_t(i)));
        for (qsizetype k = 0; k + 1 < words[i].size(); ++k)
            if (IsHZ(words[i][k]) && IsHZ(words[i][k + 1]))
                pairs[uint32_t(words[i][k].unicode()) << 16 | words[i][k + 1].unicode()] += p;
    }
    for (const auto& [pair, probability] : pairs)
        Add(char16_t(pair >> 16), char16_t(pair & 0xFFFF), probability);
    return true;
}

const std::map<char16_t, double>& CModelFollowers::Followers(char16_t lead) const
{
    static const std::map<char16_t, double> none;
    const auto it = m_followers.find(lead);
    return it == m_followers.end() ? none : it->second;
}
