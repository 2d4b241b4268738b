#pragma once

#include <QChar>

// First and last character of the CJK Unified Ideographs block as first
// defined; the system treats exactly this range as Chinese characters.
constexpr char16_t FirstHanzi = 0x4E00;
constexpr char16_t LastHanzi = 0x9FA5;

inline bool IsHZ(QChar c)
{
    return c.unicode() >= FirstHanzi && c.unicode() <= LastHanzi;
}
