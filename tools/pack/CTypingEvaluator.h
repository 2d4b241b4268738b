#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Types text through the stroke keyboard's rules with a user who always
// takes the fewest taps, on the shipped pack, with or without learning (each
// choice after a character then updates that character's list by the
// keyboard's own rule, as a user's panel would). A character
// costs: in association mode, its page in the previous character's list plus
// the tap on it; otherwise some strokes of one of its orders, the pages of
// five to its candidate (or nothing when it is promoted into cell 0 or 4),
// and the tap on it. Anything else in the text (punctuation, Latin, spaces)
// is not counted and ends the association chain, as a symbol typed from the
// other keyboard does.
class CTypingEvaluator
{
public:
    struct TResult {
        qint64 Chinese = 0;        // characters of U+4E00..U+9FA5 typed
        qint64 NotFound = 0;       // Chinese characters the pack cannot give
        qint64 AllStrokes = 0;     // taps when every stroke is typed, then the candidate
        qint64 StrokesOnly = 0;    // fewest taps without association and promotion
        qint64 Best = 0;           // fewest taps with both
        qint64 OneTap = 0;         // characters typed in one tap with both
        qint64 ByAssociation = 0;  // characters taken from an association page
        qint64 ByPromotion = 0;    // characters taken from cell 0 or 4
    };

    // False when bs.dat or word.idx / word.dat cannot be read.
    bool Load(const QString& packDir);
    TResult Type(const QString& text, bool learn) const;

private:
    struct TCost {
        int Plain = -1;    // strokes and paging only
        int Promoted = -1; // with cells 0 and 4, given the previous character
    };
    // followers: the shipped followers of the previous character.
    TCost StrokeCost(char16_t c, const QSet<char16_t>& followers) const;
    // Where c's records stand among the matches of a prefix (at most two).
    QList<int> Positions(int prefix, char16_t c) const;

    std::vector<QString> m_codes;          // per record
    std::vector<char16_t> m_chars;         // per record
    QHash<char16_t, QList<int>> m_records; // records of each character
    QHash<QString, int> m_prefixIds;
    std::vector<std::vector<int>> m_prefixMatches; // record numbers, file order
    QHash<quint64, QList<int>> m_positions;        // (prefix, char) -> match positions
    QString m_dir;
};
