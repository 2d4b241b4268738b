#include "TestFiles.h"

#include "CStrokeCode.h"

#include <QFile>
#include <QtEndian>

QString TestDir::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(path(name));
    const bool written = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    return written ? f.fileName() : QString();
}

QByteArray TestDir::read(const QString& name) const
{
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void appendU16(QByteArray& out, quint16 value)
{
    out.append(char(value)).append(char(value >> 8));
}

void appendU32(QByteArray& out, quint32 value)
{
    appendU16(out, quint16(value));
    appendU16(out, quint16(value >> 16));
}

quint16 u16At(const QByteArray& bytes, qsizetype at)
{
    return at >= 0 && at + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.constData() + at) : 0;
}

QByteArray strokeRecord(const char* strokes, char16_t ch)
{
    char stored[CStrokeCode::StoredSize];
    CStrokeCode::FromDigits(strokes).Store(stored);
    QByteArray out(stored, sizeof stored);
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
