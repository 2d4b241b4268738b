#include "TinyPack.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <cstring>

namespace {

struct Stroke {
    const char* digits;
    char16_t character;
};

// Real stroke orders (1 一, 2 丨, 3 丿, 4 丶, 5 乛), listed in candidate order.
const Stroke Strokes[] = {
    {"1", u'一'},     {"11", u'二'},      {"12", u'十'},     {"111", u'三'},      {"112", u'干'},
    {"1121", u'王'},  {"121", u'土'},     {"121", u'工'},    {"1134", u'天'},     {"134", u'大'},
    {"2512", u'中'},  {"25112141", u'国'}, {"34", u'人'},     {"32425", u'们'},    {"3121534", u'我'},
    {"32511354", u'的'}, {"251112134", u'是'},
};

struct Association {
    char16_t follower;
    quint16 ref;
};

struct List {
    char16_t lead;
    std::initializer_list<Association> followers;
};

// Sorted by the leading character's code, as word.idx must be.
const List Lists[] = {
    {u'中', {{u'国', 10}, {u'文', 8}, {u'心', 6}}},
    {u'人', {{u'们', 4}, {u'民', 2}}},
    {u'国', {{u'王', 6}, {u'土', 4}, {u'人', 2}}},
    {u'我', {{u'们', 8}, {u'的', 6}, {u'是', 4}, {u'国', 2}}},
};

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

} // namespace

TinyPack::TinyPack()
{
    QByteArray bs;
    for (const Stroke& s : Strokes)
        bs += strokeRecord(s.digits, s.character);
    m_dir.write(QStringLiteral("bs.dat"), bs);

    QByteArray idx, dat;
    for (const List& list : Lists) {
        appendU16(idx, list.lead);
        appendU16(idx, quint16(list.followers.size()));
        appendU32(idx, quint32(dat.size()));
        for (const Association& a : list.followers) {
            appendU16(dat, a.follower);
            appendU16(dat, a.ref);
        }
    }
    m_dir.write(QStringLiteral("word.idx"), idx);
    m_dir.write(QStringLiteral("word.dat"), dat);

    // Table 1 plain and shifted, table 2 plain and shifted, two empty
    // tables, then the default punctuation. CR LF endings, as on the device.
    const QString symbols = firstSymbolTable() + QStringLiteral("\r\n\r\n")
                            + QStringLiteral("abcdefghijklmnopqrstuvwxyz\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n")
                            + QStringLiteral("\r\n\r\n\r\n\r\n") + QStringLiteral("；“”、…：，。？！\r\n");
    m_dir.write(QStringLiteral("Symbols.txt"), toGbk(symbols));
}

QString TinyPack::firstSymbolTable()
{
    return QStringLiteral("，。、；：？！…—·《》（）");
}

char16_t TinyPack::recordChar(const QByteArray& wordDat, int offset)
{
    if (offset < 0 || offset + 4 > wordDat.size())
        return 0;
    return qFromLittleEndian<quint16>(wordDat.constData() + offset);
}

quint16 TinyPack::recordRef(const QByteArray& wordDat, int offset)
{
    if (offset < 0 || offset + 4 > wordDat.size())
        return 0;
    return qFromLittleEndian<quint16>(wordDat.constData() + offset + 2);
}

QByteArray TinyPack::strokeRecord(const char* digits, char16_t character)
{
    quint32 words[3] = {0, 0, 0};
    const int n = int(std::strlen(digits));
    for (int p = 0; p < n && p < 25; ++p)
        words[p / 10] |= quint32(digits[p] - '0') << (3 * (p % 10));
    QByteArray out;
    appendU32(out, words[0]);
    appendU32(out, words[1]);
    appendU16(out, quint16(words[2]));
    appendU16(out, character);
    return out;
}
