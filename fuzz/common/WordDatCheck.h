#pragma once

#include <QByteArray>

#include <string>

// What the association table may do to word.dat, given the bytes of word.idx
// and of word.dat before and after a session: overwrite whole 4-byte records
// in place, each inside [Offset, Offset + 4 * Count) of an index entry whose
// Offset is a multiple of 4. Empty when every change is allowed, else the
// first violation.
std::string CheckWordDatWrites(const QByteArray& index, const QByteArray& before, const QByteArray& after);
