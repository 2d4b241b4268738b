#pragma once

#include <QString>

// Converts zero-terminated GBK text to Unicode. A null pointer gives a null
// string. Invalid byte sequences become U+FFFD rather than being dropped.
QString gbk(const char* text);
// The same for a byte array that may hold NUL bytes.
QString gbk(const QByteArray& text);
// Unicode to GBK; ok is false when a character has no GBK form.
QByteArray toGbk(const QString& text, bool* ok = nullptr);
