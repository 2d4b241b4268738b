#include "CStrokeCode.h"

#include <algorithm>

namespace {

int Shift(int p)
{
    return CStrokeCode::BitsPerStroke * (p % CStrokeCode::StrokesPerWord);
}

uint32_t LoadLittle(const unsigned char* p, int bytes)
{
    uint32_t value = 0;
    for (int k = bytes; k-- > 0;)
        value = value << 8 | p[k];
    return value;
}

void StoreLittle(unsigned char* p, uint32_t value, int bytes)
{
    for (int k = 0; k < bytes; ++k, value >>= 8)
        p[k] = static_cast<unsigned char>(value);
}

} // namespace

CStrokeCode CStrokeCode::FromDigits(std::string_view digits)
{
    CStrokeCode code;
    const int n = int(std::min<size_t>(digits.size(), MaxStrokes));
    for (int p = 0; p < n; ++p)
        code.SetDigit(p, (digits[size_t(p)] - '0') & 7);
    return code;
}

CStrokeCode CStrokeCode::Load(const void* record)
{
    const auto* bytes = static_cast<const unsigned char*>(record);
    CStrokeCode code;
    code.Words[0] = LoadLittle(bytes, 4);
    code.Words[1] = LoadLittle(bytes + 4, 4);
    code.Words[2] = LoadLittle(bytes + 8, 2);
    return code;
}

void CStrokeCode::Store(void* record) const
{
    auto* bytes = static_cast<unsigned char*>(record);
    StoreLittle(bytes, Words[0], 4);
    StoreLittle(bytes + 4, Words[1], 4);
    StoreLittle(bytes + 8, Words[2], 2);
}

int CStrokeCode::Digit(int p) const
{
    return int(Words[p / StrokesPerWord] >> Shift(p)) & 7;
}

void CStrokeCode::SetDigit(int p, int digit)
{
    uint32_t& word = Words[p / StrokesPerWord];
    word = (word & ~(uint32_t(7) << Shift(p))) | uint32_t(digit & 7) << Shift(p);
}

std::string CStrokeCode::Digits() const
{
    std::string digits;
    for (int p = 0; p < MaxStrokes && Digit(p) != 0; ++p)
        digits += char('0' + Digit(p));
    return digits;
}

void CStrokeCode::Pattern(std::u16string_view typed, uint32_t value[3], uint32_t mask[3])
{
    CStrokeCode v, m;
    const int length = int(std::min<size_t>(typed.size(), MaxStrokes));
    for (int p = 0; p < length; ++p) {
        const char16_t c = typed[size_t(p)];
        if (c < u'1' || c > u'6')
            continue;
        v.SetDigit(p, c - u'0');
        m.SetDigit(p, 7);
    }
    std::copy(v.Words, v.Words + 3, value);
    std::copy(m.Words, m.Words + 3, mask);
}
