#include "CSymTable.h"

CSymTable::CSymTable(const QString& words, const QString& shiftWords)
    : PlainWords(words)
    , ShiftWords(shiftWords)
{
    // Positions the shifted line does not cover show the plain symbol.
    const qsizetype missing = PlainWords.size() - ShiftWords.size();
    if (missing > 0)
        ShiftWords += PlainWords.right(missing);
    Reset();
}

CSymTable::~CSymTable() = default;

void CSymTable::Reset()
{
    WordIndex = 0;
}

int CSymTable::Wrap(int index) const
{
    // One step around the table, not a remainder: a table shorter than a
    // page leaves some positions outside.
    const int length = int(PlainWords.size());
    if (index < 0)
        return index + length;
    if (index >= length)
        return index - length;
    return index;
}

QString CSymTable::GetWord(int index, bool shifted)
{
    if (PlainWords.isEmpty())
        return QString();
    const int p = Wrap(index);
    const QString& words = shifted ? ShiftWords : PlainWords;
    if (p < 0 || p >= PlainWords.size() || p >= words.size())
        return QStringLiteral(""); // shows nothing, chooses nothing
    return QString(words.at(p));
}

void CSymTable::SetWordIndex(int index)
{
    WordIndex = Wrap(index);
}
