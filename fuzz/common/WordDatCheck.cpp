#include "WordDatCheck.h"

#include <QtEndian>

std::string CheckWordDatWrites(const QByteArray& index, const QByteArray& before, const QByteArray& after)
{
    if (before.size() != after.size())
        return "word.dat changed size from " + std::to_string(before.size()) + " to " + std::to_string(after.size());
    for (qsizetype at = 0; at < after.size(); ++at) {
        if (before[at] == after[at])
            continue;
        const qint64 record = at / 4 * 4;
        bool named = false;
        for (qsizetype entry = 0; entry + 8 <= index.size(); entry += 8) {
            const qint64 count = qFromLittleEndian<quint16>(index.constData() + entry + 2);
            const qint64 offset = qFromLittleEndian<quint32>(index.constData() + entry + 4);
            named = named || (offset % 4 == 0 && record >= offset && record + 4 <= offset + 4 * count);
        }
        if (!named || record + 4 > after.size())
            return "byte " + std::to_string(at) + " changed outside every whole record the index names";
    }
    return {};
}
