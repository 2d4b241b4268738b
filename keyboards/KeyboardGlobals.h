#pragma once

#include <QColor>
#include <QString>

// Settings shared by the keyboards and the plugin component. They start empty
// (colours black and white) and are filled in by the component and by the
// symbol keyboard when it reads Symbols.txt.

// The data directory, ending in "/".
extern QString AppPath;
// The stroke-key glyphs, indexed by stroke digit ("空一丨丿丶乛空？").
extern QString __BHTable;
// The default punctuation candidates: cell i shows character i when a page
// leaves it empty.
extern QString __DefaultWords;
// Text colour of a cell drawn normally, and of a cell drawn pressed.
extern QColor __FontColor;
extern QColor __FontRevColor;
