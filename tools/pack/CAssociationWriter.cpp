#include "CAssociationWriter.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <utility>

quint16 CAssociationWriter::Ref(double weight, double top)
{
    if (!(weight > 0) || !(top > 0))
        return 0;
    const int halvings = int(std::floor(std::log2(top / weight)));
    return quint16(std::max(0, MaxRef - 2 * std::max(0, halvings)));
}

void CAssociationWriter::Build(const CFrequencyTable& frequency, const CModelFollowers& model, QList<char16_t> chars,
                               const QList<char16_t>& fillers)
{
    m_index.clear();
    m_data.clear();
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());

    for (char16_t lead : chars) {
        std::map<char16_t, double> scores;
        for (const auto& [c, weight] : frequency.Followers(lead))
            scores[c] += double(weight);
        const double total = double(frequency.TotalStartFrequency());
        for (const auto& [c, probability] : model.Followers(lead))
            scores[c] += probability * total;
        std::vector<std::pair<char16_t, double>> list;
        for (const auto& [c, score] : scores)
            if (score > 0)
                list.emplace_back(c, score);
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        if (list.size() > size_t(MaxRecords))
            list.resize(MaxRecords);
        const double top = list.empty() ? 0 : list.front().second;

        QList<char16_t> used;
        QByteArray records;
        auto add = [&](char16_t c, quint16 ref) {
            char bytes[4];
            qToLittleEndian<quint16>(c, bytes);
            qToLittleEndian<quint16>(ref, bytes + 2);
            records.append(bytes, 4);
            used.append(c);
        };
        for (const auto& [c, weight] : list)
            add(c, Ref(weight, top));
        for (qsizetype i = 0; i < fillers.size() && used.size() < MinRecords; ++i)
            if (!used.contains(fillers[i]))
                add(fillers[i], 0);

        char entry[8];
        qToLittleEndian<quint16>(lead, entry);
        qToLittleEndian<quint16>(quint16(used.size()), entry + 2);
        qToLittleEndian<quint32>(quint32(m_data.size()), entry + 4);
        m_index.append(entry, 8);
        m_data += records;
    }
}
