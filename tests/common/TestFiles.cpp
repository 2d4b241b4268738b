#include "TestFiles.h"

#include <QFile>
#include <QtEndian>

TestDir::TestDir() = default;

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
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return p;
}

QByteArray TestDir::read(const QString& name) const
{
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
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
