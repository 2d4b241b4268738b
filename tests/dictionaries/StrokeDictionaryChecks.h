#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class CBHWordLib;

// The shown page, as the stroke keyboard reads it.
QString Page(CBHWordLib& lib);

// What the dictionary's walks give for the last query, set against matches
// (record indices in file order, as the reference model finds them):
// GetMatchCode by number, GetWordCode from each match (or from every
// position) and GetWordCodes in batches. They move neither cursor nor page.
void ExpectWalk(CBHWordLib& lib, const std::vector<uint32_t>& matches, bool everyPosition);

// Right after a query: the pages and flags, paging to the end and back.
void ExpectPages(CBHWordLib& lib, const std::vector<uint32_t>& matches);
