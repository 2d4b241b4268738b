#pragma once

#include <QRect>

// Where the keys sit on the 240 x 144 panel: five columns and four rows of
// 46 x 34 faces on a 47 x 35 pitch. The keyboards, the pictures of their key
// faces and the programs that tap them all place keys from here.
namespace KeyGrid {

constexpr int Left = 3;
constexpr int Top = 3;
constexpr int PitchX = 47;
constexpr int PitchY = 35;
constexpr int KeyWidth = 46;
constexpr int KeyHeight = 34;
constexpr int Columns = 5;

inline QRect KeyRect(int key)
{
    return QRect(Left + PitchX * (key % Columns), Top + PitchY * (key / Columns), KeyWidth, KeyHeight);
}

// The keys by meaning. Keys 0 to 9 are candidate cells; on the stroke
// keyboard with strokes typed, keys 1 to 3 are the line (tapped at KeyLine).
enum Key {
    KeyLine = 2, KeyPrior = 10, KeyHeng = 11, KeyShu = 12, KeyPie = 13, KeyBackspace = 14,
    KeyNext = 15, KeyDian = 16, KeyZhe = 17, KeyWildcard = 18, KeySwitch = 19, KeyCount = 20,
};

// The stroke digit a stroke key types ('1' to '5', '7' the wildcard), 0 for
// any other key; and the key that types a digit, -1 for none.
inline char StrokeDigit(int key)
{
    switch (key) {
    case KeyHeng: return '1';
    case KeyShu: return '2';
    case KeyPie: return '3';
    case KeyDian: return '4';
    case KeyZhe: return '5';
    case KeyWildcard: return '7';
    default: return 0;
    }
}

inline int StrokeKey(char digit)
{
    for (int key = KeyHeng; key <= KeyWildcard; ++key) {
        if (digit && StrokeDigit(key) == digit)
            return key;
    }
    return -1;
}

} // namespace KeyGrid
