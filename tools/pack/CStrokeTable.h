#pragma once

#include "CDictSource.h"

#include <QString>
#include <QStringList>

#include <map>

// The stroke orders of the Chinese characters U+4E00..U+9FA5, as stroke
// digits 1..5, the main order first. The source writes strokes as the letters
// h s p n z. Its main table, from Taiwan's CNS 11643 character site, comes
// first and its supplement, from a mainland forum, after it; so where it
// lists several orders for a character, the first is the one Taiwan teaches
// (忄 丶丨丶, 必 with 丿 last) and the last the mainland standard order
// (忄 丶丶丨, 必 丶乛丶丿丶).
class CStrokeTable
{
public:
    enum class TStandard { Mainland, Taiwan };

    // A code that the source gives to many unrelated characters as a stand-in
    // for a missing order; it would only clutter every query along its path.
    static const QLatin1String Placeholder;

    struct TStats {
        int Placeholders = 0; // placeholder codes dropped
        int Invalid = 0;      // codes with letters other than h s p n z
        int Duplicates = 0;   // the same order (as far as a record holds it) listed twice
        int Truncated = 0;    // orders cut to the 25 strokes a record holds
    };

    void Load(const CDictSource& source, TStandard standard = TStandard::Mainland);

    // Letters h s p n z to digits 1..5; false when any other letter appears
    // or the code is empty.
    static bool ToDigits(const QString& letters, QString* digits);

    // Characters with at least one usable order, in code order; each list
    // starts with the main order, the others follow as the source lists them.
    const std::map<char16_t, QStringList>& Orders() const { return m_orders; }
    // The main order of c; empty when c has none.
    QString MainOrder(char16_t c) const;
    const TStats& Stats() const { return m_stats; }

private:
    std::map<char16_t, QStringList> m_orders;
    TStats m_stats;
};
