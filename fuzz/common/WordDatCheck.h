#pragma once

#include <QByteArray>

#include <string>

// What the association table may do to word.dat: overwrite whole 4-byte
// records in place, at offsets its index names. Compares the file before and
// after a session against the index (the bytes of word.idx); returns an empty
// string when every change is allowed, else the first violation.
//
// A changed record is allowed when it starts on a multiple of 4 and lies
// inside [Offset, Offset + 4 * Count) of an index entry whose Offset is a
// multiple of 4. The size never changes; bytes past the last whole record
// never change.
std::string CheckWordDatWrites(const QByteArray& index, const QByteArray& before,
                               const QByteArray& after);
