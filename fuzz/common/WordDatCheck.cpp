#include "WordDatCheck.h"

#include <QtEndian>

#include <cstring>

namespace {

bool namedByIndex(const QByteArray& index, qint64 record)
{
    const char* p = index.constData();
    for (qsizetype at = 0; at + 8 <= index.size(); at += 8) {
        const qint64 count = qFromLittleEndian<quint16>(p + at + 2);
        const qint64 offset = qFromLittleEndian<quint32>(p + at + 4);
        if (offset % 4 == 0 && record >= offset && record + 4 <= offset + 4 * count)
            return true;
    }
    return false;
}

} // namespace

std::string CheckWordDatWrites(const QByteArray& index, const QByteArray& before,
                               const QByteArray& after)
{
    if (before.size() != after.size())
        return "word.dat changed size from " + std::to_string(before.size()) + " to "
            + std::to_string(after.size());
    const qsizetype whole = before.size() / 4 * 4;
    if (std::memcmp(before.constData() + whole, after.constData() + whole, size_t(before.size() - whole)) != 0)
        return "bytes past the last whole record changed";
    for (qsizetype record = 0; record < whole; record += 4) {
        if (std::memcmp(before.constData() + record, after.constData() + record, 4) == 0)
            continue;
        if (!namedByIndex(index, record))
            return "record at " + std::to_string(record) + " changed, but no index entry names it";
    }
    return {};
}
