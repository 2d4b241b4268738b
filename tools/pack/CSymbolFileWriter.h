#pragma once

#include <QByteArray>
#include <QString>

// Turns the hand-kept UTF-8 symbol source into the GBK Symbols.txt the symbol
// keyboard reads. The source starts with free comment lines up to a line
// holding only "---"; every line after it is one line of the file, taken
// verbatim (a blank is a symbol). The result has eleven lines: four table
// pairs, the default punctuation, and two colours, each ending in CR LF.
class CSymbolFileWriter
{
public:
    static constexpr int LineCount = 11;
    // Longest line content the keyboard reads whole when it ends in CR LF.
    static constexpr int MaxLineBytes = 252;

    // False with a message naming the line when a symbol has no GBK form,
    // a line is too long, the line count is wrong, the default punctuation
    // has fewer than ten characters or a colour is not hexadecimal.
    // With cornerQuotes, “” and ‘’ trade places with 「」 and 『』, as
    // Traditional Chinese text quotes.
    static bool Convert(const QByteArray& utf8Source, QByteArray* gbkOut, QString* error, bool cornerQuotes = false);
};
