#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QString>

// A small data pack written into a fresh directory: a stroke dictionary of
// seventeen characters, association lists for 中, 人, 国 and 我, and a symbol
// file with two tables. Enough to type, page, promote, associate and learn.
//
// Stroke candidates of "1", in file order: 一 二 十 三 干 | 王 土 工 天 大.
// Associations (word.dat offset of the list, records in file order):
//   中 at 0:  国 10, 文 8, 心 6
//   人 at 12: 们 4, 民 2
//   国 at 20: 王 6, 土 4, 人 2
//   我 at 32: 们 8, 的 6, 是 4, 国 2
class TinyPack
{
public:
    TinyPack();

    // The data directory, ending in "/".
    QString dir() const { return m_dir.dir(); }
    QString path(const QString& name) const { return m_dir.path(name); }
    QByteArray wordDat() const { return m_dir.read(QStringLiteral("word.dat")); }

    // The (character, weight) record at a byte offset of word.dat.
    static char16_t recordChar(const QByteArray& wordDat, int offset);
    static quint16 recordRef(const QByteArray& wordDat, int offset);

    // One bs.dat record: the stroke digits packed three bits each, ten to a
    // 32-bit word, then the character.
    static QByteArray strokeRecord(const char* digits, char16_t character);

    // The symbol file's first table and the default punctuation it keeps.
    static QString firstSymbolTable();

private:
    TestDir m_dir;
};
