#pragma once

#include "CFrequencyTable.h"
#include "CStrokeTable.h"

#include <QByteArray>
#include <QList>

// Lays out bs.dat: one 12-byte record per (character, stroke order). Queries
// list matches in file order, so the order of the records is the order of
// the candidates: first every character's main order, most used first (as a
// word start above all, see MainOrder);
// then the other orders in the same character order, so that an alternative
// order stays findable but never pushes a distinct character off an early
// page.
class CStrokeDictWriter
{
public:
    static constexpr int RecordSize = 12;
    static constexpr int MaxStrokes = 25;

    // The record of c with the given stroke digits (1..7); strokes past the
    // 25th are dropped.
    static QByteArray Record(const QString& digits, char16_t c);

    // The characters in main-record order (every character with an order).
    static QList<char16_t> MainOrder(const CStrokeTable& strokes, const CFrequencyTable& frequency);

    static QByteArray Build(const CStrokeTable& strokes, const CFrequencyTable& frequency);
};
