#pragma once

#include <QString>

// One symbol table: plain and shifted symbols, one character each, and the
// start of the page shown. Positions wrap once around the ends of the table.
class CSymTable
{
public:
    CSymTable(const QString& words, const QString& shiftWords);
    ~CSymTable();

    void Reset();
    // The symbol at index after one wrap; an empty string when the position
    // is still outside the table (a table shorter than a page), a null
    // string when the table is empty.
    QString GetWord(int index, bool shifted);
    void SetWordIndex(int index);

    int PageSize = 0;
    int WordIndex = 0;
    QString PlainWords;
    QString ShiftWords;

private:
    int Wrap(int index) const;
};
