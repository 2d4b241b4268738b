#include "StrokeModel.h"

#include "CStrokeCode.h"

#include <algorithm>
#include <set>

StrokeModel::StrokeModel(const void* records, size_t count)
    : m_records(static_cast<const unsigned char*>(records)), m_count(records ? count : 0)
{
    m_digits.resize(m_count * CStrokeCode::MaxStrokes);
    for (size_t i = 0; i < m_count; ++i) {
        const CStrokeCode code = CStrokeCode::Load(m_records + 12 * i);
        for (int p = 0; p < CStrokeCode::MaxStrokes; ++p)
            m_digits[i * CStrokeCode::MaxStrokes + size_t(p)] = uint8_t(code.Digit(p));
    }
}

void StrokeModel::Query(std::u16string_view typed)
{
    m_fixed.clear();
    for (size_t p = 0; p < typed.size() && p < size_t(CStrokeCode::MaxStrokes); ++p)
        if (typed[p] >= u'1' && typed[p] <= u'6')
            m_fixed.emplace_back(uint8_t(p), uint8_t(typed[p] - u'0'));
    m_raw = false;
}

void StrokeModel::QueryPattern(const uint32_t value[3], const uint32_t mask[3])
{
    std::copy(value, value + 3, m_value);
    std::copy(mask, mask + 3, m_mask);
    m_raw = true;
}

bool StrokeModel::Matches(size_t record) const
{
    if (m_raw) {
        const CStrokeCode code = CStrokeCode::Load(m_records + 12 * record);
        for (int k = 0; k < 3; ++k)
            if ((code.Words[k] & m_mask[k]) != m_value[k])
                return false;
        return true;
    }
    const uint8_t* digits = &m_digits[record * CStrokeCode::MaxStrokes];
    for (const auto& [position, digit] : m_fixed)
        if (digits[position] != digit)
            return false;
    return true;
}

std::vector<uint32_t> StrokeModel::AllMatches(size_t from) const
{
    std::vector<uint32_t> all;
    for (size_t i = from; i < m_count; ++i)
        if (Matches(i))
            all.push_back(uint32_t(i));
    return all;
}

std::vector<std::string> StrokeModel::CodesUpTo(int length)
{
    std::vector<std::string> codes = {""};
    for (size_t k = 0; k < codes.size(); ++k)
        for (char digit : std::string(codes[k].size() < size_t(length) ? "123457" : ""))
            codes.push_back(codes[k] + digit);
    codes.erase(codes.begin());
    return codes;
}

std::vector<std::string> StrokeModel::PackCodes(size_t every) const
{
    std::vector<std::string> codes = CodesUpTo(4);
    std::set<std::string> seen;
    for (size_t i = 0; i < m_count; ++i) {
        const std::string full = CStrokeCode::Load(m_records + 12 * i).Digits();
        if (seen.insert(full).second && seen.size() % every == 0)
            codes.push_back(full);
    }
    return codes;
}
