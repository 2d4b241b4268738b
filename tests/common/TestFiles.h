#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary directory per test, with helpers to write the small data
// files that the tests make themselves.
class TestDir
{
public:
    TestDir();

    // Absolute path of name inside the directory.
    QString path(const QString& name) const;
    // The directory itself, ending in "/".
    QString dir() const;
    // Writes bytes to name (replacing it) and returns the file's path.
    QString write(const QString& name, const QByteArray& bytes) const;
    // Reads the whole file back; an empty array when it cannot be read.
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Little-endian encoders for building binary test files.
void appendU16(QByteArray& out, quint16 value);
void appendU32(QByteArray& out, quint32 value);
