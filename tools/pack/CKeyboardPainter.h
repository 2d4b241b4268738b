#pragma once

#include <QImage>
#include <QJsonObject>
#include <QRect>

// Draws a keyboard picture from its layout: the ten candidate cells plain
// (the keyboard draws their texts), the function keys as raised buttons with
// a text face or a drawn icon. Layout object:
//   "keys":  { "<key>": { "text": "…" } or { "icon": "prev|next|backspace|shift|capslock" },
//              optional "kind": "stroke" for a stroke key's larger glyph }
//   "joinedCells": [ cells drawn as one area, e.g. the stroke line 1..3 ]
class CKeyboardPainter
{
public:
    static constexpr int Width = 240;
    static constexpr int Height = 144;

    // The rectangle of a key on the shared grid: 5 columns of 47 pixels and
    // rows of 35, starting 3 pixels in, each key 46 × 34.
    static QRect KeyRect(int key);

    // Text colours of the cells that suit this artwork, as Symbols.txt
    // carries them (normal and pressed, that is on the inverted cell).
    static QRgb CellTextColour();
    static QRgb PressedCellTextColour();

    // Null image when the layout names an unknown icon (message in error).
    static QImage Paint(const QJsonObject& layout, QString* error);
};
