#include "CStrokeDictWriter.h"

#include "CStrokeCode.h"

#include <QtEndian>

#include <algorithm>

QByteArray CStrokeDictWriter::Record(const QString& digits, char16_t c)
{
    QByteArray out(RecordSize, '\0');
    CStrokeCode::FromDigits(digits.left(MaxStrokes).toStdString()).Store(out.data());
    qToLittleEndian<quint16>(c, out.data() + 10);
    return out;
}

QList<char16_t> CStrokeDictWriter::MainOrder(const CStrokeTable& strokes, const CFrequencyTable& frequency)
{
    QList<char16_t> chars;
    for (const auto& [c, orders] : strokes.Orders())
        chars.append(c);
    // A character typed by strokes is mostly one that association did not
    // offer, that is one that starts a word; so word starts weigh most, with
    // a tenth of the overall frequency to order the rest. Integer weights
    // keep the order the same on every machine.
    auto weight = [&frequency](char16_t c) { return 10 * frequency.StartFrequency(c) + frequency.Frequency(c); };
    std::stable_sort(chars.begin(), chars.end(), [&weight](char16_t a, char16_t b) {
        const uint64_t wa = weight(a), wb = weight(b);
        return wa != wb ? wa > wb : a < b;
    });
    return chars;
}

QByteArray CStrokeDictWriter::Build(const CStrokeTable& strokes, const CFrequencyTable& frequency)
{
    const QList<char16_t> order = MainOrder(strokes, frequency);
    QByteArray out;
    out.reserve(order.size() * 2 * RecordSize);
    for (char16_t c : order)
        out += Record(strokes.MainOrder(c), c);
    for (char16_t c : order) {
        const QStringList& orders = strokes.Orders().at(c);
        for (qsizetype i = 1; i < orders.size(); ++i)
            out += Record(orders[i], c);
    }
    return out;
}
