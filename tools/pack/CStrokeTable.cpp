#include "CStrokeTable.h"

#include "ChineseChar.h"

const QLatin1String CStrokeTable::Placeholder("szhhhshspnhszs");

bool CStrokeTable::ToDigits(const QString& letters, QString* digits)
{
    static const QLatin1String strokes("hspnz");
    QString out;
    out.reserve(letters.size());
    for (QChar c : letters) {
        const qsizetype i = QString(strokes).indexOf(c);
        if (i < 0)
            return false;
        out.append(QChar(char16_t(u'1' + i)));
    }
    if (out.isEmpty())
        return false;
    *digits = out;
    return true;
}

void CStrokeTable::Load(const CDictSource& source, TStandard standard)
{
    m_orders.clear();
    m_stats = TStats();
    for (const CDictSource::TEntry& entry : source.Entries()) {
        if (entry.Text.size() != 1 || !IsHZ(entry.Text[0]))
            continue;
        const QString code = entry.Columns.value(0).trimmed();
        if (code == Placeholder) {
            ++m_stats.Placeholders;
            continue;
        }
        QString digits;
        if (!ToDigits(code, &digits)) {
            ++m_stats.Invalid;
            continue;
        }
        // A record holds 25 strokes; two orders that differ only later
        // would become the same record.
        if (digits.size() > 25) {
            ++m_stats.Truncated;
            digits.truncate(25);
        }
        QStringList& orders = m_orders[entry.Text[0].unicode()];
        if (orders.contains(digits)) {
            ++m_stats.Duplicates;
            continue;
        }
        orders.append(digits);
    }
    if (standard == TStandard::Mainland)
        for (auto& [c, orders] : m_orders)
            orders.move(orders.size() - 1, 0);
}

QString CStrokeTable::MainOrder(char16_t c) const
{
    const auto it = m_orders.find(c);
    return it == m_orders.end() || it->second.isEmpty() ? QString() : it->second.first();
}
