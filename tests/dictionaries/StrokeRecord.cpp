#include "StrokeRecord.h"

#include "TestFiles.h"

QByteArray Record(const char* strokes, char16_t ch)
{
    quint32 words[3] = {0, 0, 0};
    for (int p = 0; strokes[p] && p < 25; ++p)
        words[p / 10] |= quint32(strokes[p] - '0') << (3 * (p % 10));
    QByteArray out;
    appendU32(out, words[0]);
    appendU32(out, words[1]);
    appendU16(out, quint16(words[2]));
    appendU16(out, ch);
    return out;
}
