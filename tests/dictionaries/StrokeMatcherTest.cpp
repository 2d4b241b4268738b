#include "CBHWordLib.h"
#include "CStrokeMatcher.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

// The match rule as the dictionary states it, one record at a time.
uint32_t LiteralFind(const TBHRecord* records, uint32_t count, uint32_t from,
                     const uint32_t* value, const uint32_t* mask)
{
    for (uint32_t i = from; i < count; ++i) {
        const TBHRecord& r = records[i];
        if ((qFromLittleEndian(r.Strokes0) & mask[0]) == value[0]
            && (qFromLittleEndian(r.Strokes1) & mask[1]) == value[1]
            && (uint32_t(qFromLittleEndian(r.Strokes2)) & mask[2]) == value[2])
            return i;
    }
    return count;
}

// A record as the file holds it.
TBHRecord Record(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t ch)
{
    return {qToLittleEndian(w0), qToLittleEndian(w1), qToLittleEndian(uint16_t(w2)),
            qToLittleEndian(ch)};
}

std::vector<CStrokeMatcher::TPath> SupportedPaths()
{
    return CStrokeMatcher::Paths();
}

// Records in a heap block of exactly their size, so that AddressSanitizer
// reports any read past the last one.
class TExactRecords {
public:
    explicit TExactRecords(const std::vector<TBHRecord>& records)
        : m_bytes(new unsigned char[records.size() * sizeof(TBHRecord)]), m_count(uint32_t(records.size()))
    {
        if (!records.empty())
            std::memcpy(m_bytes.get(), records.data(), records.size() * sizeof(TBHRecord));
    }
    const TBHRecord* data() const { return reinterpret_cast<const TBHRecord*>(m_bytes.get()); }
    uint32_t count() const { return m_count; }

private:
    std::unique_ptr<unsigned char[]> m_bytes;
    uint32_t m_count;
};

class StrokeMatcher : public ::testing::Test {
protected:
    void TearDown() override { CStrokeMatcher::Select(CStrokeMatcher::Best()); }
};

} // namespace

TEST_F(StrokeMatcher, EveryPathAgreesAtTheEndOfTheRecords)
{
    // A build that lost its vector paths would otherwise test only the loop.
    ASSERT_GT(CStrokeMatcher::Paths().size(), 1u);
    EXPECT_EQ(CStrokeMatcher::Find(nullptr, 0, 0, nullptr, nullptr), 0u);
    // Code "12" in word 0, stroke 11 = 3 in word 1, stroke 21 = 4 in word 2.
    const uint32_t value[3] = {1 | 2 << 3, 3, 4};
    const uint32_t mask[3] = {077, 07, 07};
    // Near misses differ in one word each; their characters have every bit
    // set so that a compare reaching into the character field would show.
    const TBHRecord hit = Record(value[0] | 5u << 6, value[1], value[2], 0x4E00);
    const TBHRecord misses[3] = {
        Record(value[0] ^ 1u, value[1], value[2], 0xFFFF),
        Record(value[0], value[1] ^ 2u, value[2], 0xFFFF),
        Record(value[0], value[1], value[2] ^ 4u, 0xFFFF),
    };
    for (const auto path : SupportedPaths()) {
        ASSERT_TRUE(CStrokeMatcher::Select(path));
        SCOPED_TRACE(CStrokeMatcher::Name(path));
        // Up to two sixteen-record steps and every shorter tail behind them.
        for (uint32_t count = 0; count <= 33; ++count) {
            // No match at all, then a single match at each place, the last
            // record included, then every record a match.
            for (int at = -1; at <= int(count); ++at) {
                std::vector<TBHRecord> records;
                for (uint32_t i = 0; i < count; ++i)
                    records.push_back(at == int(count) || int(i) == at ? hit : misses[i % 3]);
                const TExactRecords exact(records);
                for (uint32_t from = 0; from <= count + 1; ++from) {
                    EXPECT_EQ(CStrokeMatcher::Find(exact.data(), count, from, value, mask),
                              LiteralFind(exact.data(), count, from, value, mask))
                        << "count " << count << " match at " << at << " from " << from;
                }
            }
        }
    }
}

TEST_F(StrokeMatcher, EveryPathAgreesOnRandomCodesAndRecords)
{
    // Stroke words from a small pool, so that codes meet matches often;
    // codes with wildcards, with a value outside its mask, and with bits
    // above the 16 of word 2 (never met, as the word is widened by zeros).
    std::mt19937 rng(8);
    const auto word = [&] { return uint32_t(rng()) & (rng() % 2 ? 0x3FFFFFFFu : 0x1FFu); };
    std::vector<uint32_t> pool;
    for (int i = 0; i < 6; ++i)
        pool.push_back(word());
    for (const auto path : SupportedPaths()) {
        ASSERT_TRUE(CStrokeMatcher::Select(path));
        SCOPED_TRACE(CStrokeMatcher::Name(path));
        std::mt19937 trial(80);
        for (int t = 0; t < 3000; ++t) {
            const uint32_t count = trial() % 70;
            std::vector<TBHRecord> records(count);
            for (TBHRecord& r : records)
                r = Record(pool[trial() % 6], pool[trial() % 3], pool[trial() % 2], uint16_t(trial()));
            const TExactRecords exact(records);
            const TBHRecord model = records.empty() ? TBHRecord{0, 0, 0, 0} : records[trial() % count];
            uint32_t mask[3], value[3];
            const uint32_t words[3] = {qFromLittleEndian(model.Strokes0), qFromLittleEndian(model.Strokes1),
                                       qFromLittleEndian(model.Strokes2)};
            for (int k = 0; k < 3; ++k) {
                mask[k] = trial() % 4 == 0 ? 0 : uint32_t(trial());
                value[k] = words[k] & mask[k];
            }
            switch (trial() % 8) {
            case 0: value[2] |= 1u << 16; break;
            case 1: value[0] |= ~mask[0]; break;
            case 2: mask[2] |= 0xFFFF0000u; break;
            default: break;
            }
            const uint32_t from = count ? trial() % (count + 2) : 0;
            ASSERT_EQ(CStrokeMatcher::Find(exact.data(), count, from, value, mask),
                      LiteralFind(exact.data(), count, from, value, mask))
                << "trial " << t << " count " << count << " from " << from;
        }
    }
}
