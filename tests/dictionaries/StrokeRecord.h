#pragma once

#include <QByteArray>

// One bs.dat record for tests: strokes as digits in writing order (at most
// 25 are stored), then the character.
QByteArray Record(const char* strokes, char16_t ch);
