#include "CStrokeCode.h"

#include <QtEndian>

#include <algorithm>

namespace {

int Shift(int p)
{
    return CStrokeCode::BitsPerStroke * (p % CStrokeCode::StrokesPerWord);
}

} // namespace

CStrokeCode CStrokeCode::FromDigits(const QString& digits)
{
    CStrokeCode code;
    const int n = int(std::min<qsizetype>(digits.size(), MaxStrokes));
    for (int p = 0; p < n; ++p)
        code.SetDigit(p, int(digits.at(p).unicode() - u'0') & 7);
    return code;
}

CStrokeCode CStrokeCode::FromDigits(const std::string& digits)
{
    return FromDigits(QString::fromStdString(digits));
}

CStrokeCode CStrokeCode::Load(const void* record)
{
    const auto* bytes = static_cast<const unsigned char*>(record);
    CStrokeCode code;
    code.Words[0] = qFromLittleEndian<uint32_t>(bytes);
    code.Words[1] = qFromLittleEndian<uint32_t>(bytes + 4);
    code.Words[2] = qFromLittleEndian<uint16_t>(bytes + 8);
    return code;
}

void CStrokeCode::Store(void* record) const
{
    auto* bytes = static_cast<unsigned char*>(record);
    qToLittleEndian<uint32_t>(Words[0], bytes);
    qToLittleEndian<uint32_t>(Words[1], bytes + 4);
    qToLittleEndian<uint16_t>(uint16_t(Words[2]), bytes + 8);
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

void CStrokeCode::Pattern(const QString& typed, uint32_t value[3], uint32_t mask[3])
{
    CStrokeCode v, m;
    const int length = int(std::min<qsizetype>(typed.size(), MaxStrokes));
    for (int p = 0; p < length; ++p) {
        const char16_t c = typed.at(p).unicode();
        if (c < u'1' || c > u'6')
            continue;
        v.SetDigit(p, c - u'0');
        m.SetDigit(p, 7);
    }
    std::copy(v.Words, v.Words + 3, value);
    std::copy(m.Words, m.Words + 3, mask);
}
