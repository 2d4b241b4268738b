#include "TestFiles.h"

#include <QFile>
#include <QtEndian>

TestDir::TestDir(const QString& templatePath)
    : m_dir(templatePath)
{
}

QString TestDir::path(const QString& name) const
{
    return m_dir.filePath(name);
}

QString TestDir::dir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString p = path(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return QString();
    return p;
}

QByteArray TestDir::read(const QString& name) const
{
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void appendU16(QByteArray& out, quint16 value)
{
    char b[2];
    qToLittleEndian(value, b);
    out.append(b, 2);
}

void appendU32(QByteArray& out, quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    out.append(b, 4);
}

quint16 u16At(const QByteArray& bytes, qsizetype at)
{
    return at >= 0 && at + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.constData() + at) : 0;
}

QByteArray strokeRecord(const char* strokes, char16_t ch)
{
    // Three bits a stroke, ten strokes to a word; the third word is 16-bit.
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

QByteArray strokeFile(std::initializer_list<StrokeEntry> entries)
{
    QByteArray out;
    for (const auto& [strokes, ch] : entries)
        out += strokeRecord(strokes, ch);
    return out;
}

void AssociationFiles::add(char16_t lead, std::initializer_list<Follower> followers)
{
    addEntry(lead, quint16(followers.size()), quint32(data.size()));
    for (const Follower& f : followers)
        addRecord(f);
}

void AssociationFiles::addEntry(char16_t lead, quint16 count, quint32 offset)
{
    appendU16(index, lead);
    appendU16(index, count);
    appendU32(index, offset);
}

void AssociationFiles::addRecord(Follower record)
{
    appendU16(data, record.ch);
    appendU16(data, record.ref);
}

void AssociationFiles::writeTo(const TestDir& dir) const
{
    dir.write(QStringLiteral("word.idx"), index);
    dir.write(QStringLiteral("word.dat"), data);
}

QImage keyboardImage()
{
    QImage image(240, 144, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, 40 + y, 200));
    return image;
}
