#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>
#include <ostream>
#include <utility>

// Readable test failures for texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// A fresh temporary directory (under templatePath when given), with helpers
// to write the small data files that tests and fuzz targets make themselves.
class TestDir
{
public:
    explicit TestDir(const QString& templatePath = QString()) : m_dir(templatePath) {}

    bool isValid() const { return m_dir.isValid(); }
    // Absolute path of name inside the directory.
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // The directory itself, ending in "/".
    QString dir() const { return m_dir.path() + QLatin1Char('/'); }
    // Writes bytes to name (replacing it); the file's path, empty on failure.
    QString write(const QString& name, const QByteArray& bytes) const;
    // Reads the whole file back; an empty array when it cannot be read.
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Little-endian encoders and a decoder for binary data files.
void appendU16(QByteArray& out, quint16 value);
void appendU32(QByteArray& out, quint32 value);
quint16 u16At(const QByteArray& bytes, qsizetype at);

// bs.dat records: strokes as digits in writing order (1 一 to 5 乛, at most
// 25 stored), then the character.
using StrokeEntry = std::pair<const char*, char16_t>;
QByteArray strokeRecord(const char* strokes, char16_t ch);
QByteArray strokeFile(std::initializer_list<StrokeEntry> entries);

// word.idx and word.dat, built one leading character at a time: its index
// entry names the records added with it, followers in the order given.
struct Follower { char16_t ch; quint16 ref; };
struct AssociationFiles {
    void add(char16_t lead, std::initializer_list<Follower> followers);
    // An index entry as given, whatever the records say.
    void addEntry(char16_t lead, quint16 count, quint32 offset);
    void addRecord(Follower record);
    void writeTo(const TestDir& dir) const;

    QByteArray index;
    QByteArray data;
};

// A keyboard image whose every pixel differs from its inverse and from its
// neighbours' inverses, so a pressed (inverted) key shows in every pixel.
QImage keyboardImage();
