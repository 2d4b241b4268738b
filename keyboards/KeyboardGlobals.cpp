#include "KeyboardGlobals.h"

QString AppPath;
QString __BHTable;
QString __DefaultWords;
QColor __FontColor(Qt::black);
QColor __FontRevColor(Qt::white);
