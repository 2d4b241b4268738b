#pragma once

#include "CDictSource.h"

#include <QString>
#include <QStringList>

#include <map>

// The stroke orders of the Chinese characters U+4E00..U+9FA5, as stroke
// digits 1..5, in the order the source lists them. The source writes strokes
// as the letters h s p n z; where it lists several orders for a character, the
// last one is the mainland standard order and becomes the main order.
class CStrokeTable
{
public:
    // A code that the source gives to many unrelated characters as a stand-in
    // for a missing order; it would only clutter every query along its path.
    static const QLatin1String Placeholder;

    struct TStats {
        int Placeholders = 0; // placeholder codes dropped
        int Invalid = 0;      // codes with letters other than h s p n z
        int Duplicates = 0;   // the same order (as far as a record holds it) listed twice
        int Truncated = 0;    // orders cut to the 25 strokes a record holds
    };

    void Load(const CDictSource& source);

    // Letters h s p n z to digits 1..5; false when any other letter appears
    // or the code is empty.
    static bool ToDigits(const QString& letters, QString* digits);

    // Characters with at least one usable order, in code order.
    const std::map<char16_t, QStringList>& Orders() const { return m_orders; }
    // The main (mainland) order of c; empty when c has none.
    QString MainOrder(char16_t c) const;
    const TStats& Stats() const { return m_stats; }

private:
    std::map<char16_t, QStringList> m_orders;
    TStats m_stats;
};
