#include "CPackChecker.h"

#include "CStrokeCode.h"

#include "ChineseChar.h"
#include "Gbk.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QtEndian>

namespace {

QByteArray readAll(const QString& fileName, bool* ok)
{
    QFile file(fileName);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

QString hex(quint32 value)
{
    return QStringLiteral("U+") + QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace

void CPackChecker::Check(const QString& dir)
{
    m_problems.clear();
    m_notes.clear();
    const QString base = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    CheckStrokes(base);
    CheckAssociations(base);
    CheckSymbols(base);
    CheckImage(base, QStringLiteral("InputW_Stroke_Entry.gif"));
    CheckImage(base, QStringLiteral("InputW_Stroke_Entry_Ext.gif"));
}

void CPackChecker::CheckStrokes(const QString& dir)
{
    bool ok = false;
    const QByteArray bs = readAll(dir + QStringLiteral("bs.dat"), &ok);
    if (!ok || bs.isEmpty()) {
        m_problems << QStringLiteral("bs.dat: missing or empty");
        return;
    }
    if (bs.size() % 12)
        m_problems << QStringLiteral("bs.dat: %1 bytes is not a whole number of 12-byte records").arg(bs.size());
    const int count = int(bs.size() / 12);
    QSet<QByteArray> seen;
    QSet<char16_t> chars;
    int bad = 0, duplicates = 0, notHanzi = 0;
    for (int i = 0; i < count; ++i) {
        const char* r = bs.constData() + 12 * i;
        const quint32 words[3] = {qFromLittleEndian<quint32>(r), qFromLittleEndian<quint32>(r + 4),
                                  qFromLittleEndian<quint16>(r + 8)};
        const char16_t c = qFromLittleEndian<quint16>(r + 10);
        // A valid code: strokes 1..6 from the first position on, then only
        // padding, and nothing in the bits no stroke uses.
        bool valid = !(words[0] >> 30) && !(words[1] >> 30) && !(words[2] >> 15);
        bool ended = false;
        int length = 0;
        for (int p = 0; p < 25 && valid; ++p) {
            const int d = CStrokeCode::Load(r).Digit(p);
            if (d == 0)
                ended = true;
            else if (ended || d == 7)
                valid = false;
            else
                ++length;
        }
        if (!valid || length == 0) {
            if (bad++ < 5)
                m_problems << QStringLiteral("bs.dat: record %1 (%2) has an invalid stroke code").arg(i).arg(hex(c));
        }
        if (!IsHZ(QChar(c)))
            ++notHanzi;
        const QByteArray whole(r, 12);
        if (seen.contains(whole)) {
            if (duplicates++ < 5)
                m_problems << QStringLiteral("bs.dat: record %1 repeats %2 with the same code").arg(i).arg(hex(c));
        }
        seen.insert(whole);
        chars.insert(c);
    }
    if (bad > 5)
        m_problems << QStringLiteral("bs.dat: %1 invalid codes in all").arg(bad);
    if (duplicates > 5)
        m_problems << QStringLiteral("bs.dat: %1 repeated records in all").arg(duplicates);
    m_notes << QStringLiteral("bs.dat: %1 records, %2 characters, %3 outside U+4E00..U+9FA5")
                   .arg(count).arg(chars.size()).arg(notHanzi);
}

void CPackChecker::CheckAssociations(const QString& dir)
{
    bool okIdx = false, okDat = false;
    const QByteArray idx = readAll(dir + QStringLiteral("word.idx"), &okIdx);
    const QByteArray dat = readAll(dir + QStringLiteral("word.dat"), &okDat);
    if (!okIdx || !okDat) {
        m_problems << QStringLiteral("word.idx or word.dat: missing");
        return;
    }
    if (idx.size() % 8)
        m_problems << QStringLiteral("word.idx: %1 bytes is not a whole number of 8-byte entries").arg(idx.size());
    if (dat.size() % 4)
        m_problems << QStringLiteral("word.dat: %1 bytes is not a whole number of 4-byte records").arg(dat.size());
    const int count = int(idx.size() / 8);
    QList<QPair<quint32, quint32>> ranges;
    int previous = -1, shortest = INT_MAX, longest = 0;
    quint64 records = 0;
    for (int i = 0; i < count; ++i) {
        const char* e = idx.constData() + 8 * i;
        const char16_t c = qFromLittleEndian<quint16>(e);
        const quint16 n = qFromLittleEndian<quint16>(e + 2);
        const quint32 offset = qFromLittleEndian<quint32>(e + 4);
        if (int(c) <= previous)
            m_problems << QStringLiteral("word.idx: entry %1 (%2) is not above the one before it").arg(i).arg(hex(c));
        previous = c;
        if (offset % 4)
            m_problems << QStringLiteral("word.idx: entry %1 (%2) starts inside a record").arg(i).arg(hex(c));
        if (quint64(offset) + 4ull * n > quint64(dat.size())) {
            m_problems << QStringLiteral("word.idx: entry %1 (%2) reaches past the end of word.dat").arg(i).arg(hex(c));
            continue;
        }
        shortest = std::min<int>(shortest, n);
        longest = std::max<int>(longest, n);
        records += n;
        if (n)
            ranges.append({offset, offset + 4u * n});
        QSet<char16_t> followers;
        for (int k = 0; k < n; ++k) {
            const char16_t f = qFromLittleEndian<quint16>(dat.constData() + offset + 4 * k);
            if (f == 0 || followers.contains(f))
                m_problems << QStringLiteral("word.dat: list of %1 has a %2 follower %3")
                                  .arg(hex(c), f ? QStringLiteral("repeated") : QStringLiteral("null"), hex(f));
            followers.insert(f);
        }
    }
    // Lists that share records would learn into each other.
    std::sort(ranges.begin(), ranges.end());
    for (qsizetype i = 1; i < ranges.size(); ++i)
        if (ranges[i].first < ranges[i - 1].second)
            m_problems << QStringLiteral("word.dat: two lists share the records at byte %1").arg(ranges[i].first);
    m_notes << QStringLiteral("word.idx: %1 characters; lists of %2 to %3 records, %4 in all; word.dat: %5 records")
                   .arg(count).arg(count ? shortest : 0).arg(longest).arg(records).arg(dat.size() / 4);
}

void CPackChecker::CheckSymbols(const QString& dir)
{
    bool ok = false;
    const QByteArray text = readAll(dir + QStringLiteral("Symbols.txt"), &ok);
    if (!ok) {
        m_problems << QStringLiteral("Symbols.txt: missing");
        return;
    }
    QList<QByteArray> lines = text.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() < 11)
        m_problems << QStringLiteral("Symbols.txt: %1 lines, the keyboard reads 11").arg(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].size() + 1 > 254)
            m_problems << QStringLiteral("Symbols.txt: line %1 is longer than the keyboard reads whole").arg(i + 1);
        if (gbk(lines[i]).contains(QChar(0xFFFD)))
            m_problems << QStringLiteral("Symbols.txt: line %1 is not valid GBK").arg(i + 1);
    }
    if (lines.size() >= 11) {
        if (gbk(lines[8].trimmed()).size() < 10)
            m_problems << QStringLiteral("Symbols.txt: the default punctuation has fewer than ten characters");
        for (int i : {9, 10}) {
            bool hexOk = false;
            QString::fromLatin1(lines[i].trimmed()).toULong(&hexOk, 16);
            if (!hexOk)
                m_problems << QStringLiteral("Symbols.txt: line %1 is not a hexadecimal colour").arg(i + 1);
        }
    }
    QStringList sizes;
    for (int t = 0; t < 4 && 2 * t < lines.size(); ++t)
        sizes << QString::number(gbk(lines[2 * t].trimmed()).size());
    m_notes << QStringLiteral("Symbols.txt: tables of %1 symbols").arg(sizes.join(QStringLiteral(", ")));
}

void CPackChecker::CheckImage(const QString& dir, const QString& name)
{
    const QImage image(dir + name);
    if (image.isNull())
        m_problems << QStringLiteral("%1: missing or not an image").arg(name);
    else if (image.size() != QSize(240, 144))
        m_problems << QStringLiteral("%1: %2 × %3, the keyboard needs 240 × 144").arg(name).arg(image.width()).arg(image.height());
}
