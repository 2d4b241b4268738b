#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <vector>

class CBHWordLib;

// One bs.dat record for tests: strokes as digits in writing order (at most
// 25 are stored), then the character.
QByteArray Record(const char* strokes, char16_t ch);
struct TStrokeEntry {
    const char* Strokes;
    char16_t Char;
};
QByteArray Records(std::initializer_list<TStrokeEntry> entries);

// The shown page, as the stroke keyboard reads it.
QString Page(CBHWordLib& lib);

// What the dictionary's walks give for the last query, set against matches
// (record indices in file order, as the reference model finds them):
// GetMatchCode by number, GetWordCode from each match (or from every
// position) and GetWordCodes in batches. They move neither cursor nor page.
void ExpectWalk(CBHWordLib& lib, const std::vector<uint32_t>& matches, bool everyPosition);

// Right after a query: the pages and flags, paging to the end and back.
void ExpectPages(CBHWordLib& lib, const std::vector<uint32_t>& matches);
