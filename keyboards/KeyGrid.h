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

} // namespace KeyGrid
