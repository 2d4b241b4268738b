// Every match path against the literal rule: on random codes and records of
// every count up to a few vector blocks, and on the data pack for every code
// of one to four strokes and every character's full code. Free of Qt: this
// program also runs on an arm64 build under emulation.
#include "CStrokeCode.h"
#include "CStrokeMatcher.h"
#include "StrokeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifndef DIRORU_PACK_DIR
#define DIRORU_PACK_DIR ""
#endif

namespace {

// Records in a heap block of exactly their size, so that AddressSanitizer
// reports any read past the last one.
struct TRecords {
    std::vector<unsigned char> Bytes;
    void Add(const CStrokeCode& code, uint16_t ch)
    {
        unsigned char r[12];
        code.Store(r);
        r[10] = uint8_t(ch);
        r[11] = uint8_t(ch >> 8);
        Bytes.insert(Bytes.end(), r, r + 12);
    }
    const TBHRecord* Data() const { return reinterpret_cast<const TBHRecord*>(Bytes.data()); }
    uint32_t Count() const { return uint32_t(Bytes.size() / 12); }
};

// Every match from from on, through FindAll in batches of max.
std::vector<uint32_t> AllMatches(const TRecords& r, uint32_t from, const uint32_t* value,
                                 const uint32_t* mask, uint32_t max)
{
    std::vector<uint32_t> all, hits(max);
    for (uint32_t got = max; got == max;) {
        got = CStrokeMatcher::FindAll(r.Data(), r.Count(), from, value, mask, hits.data(), max);
        all.insert(all.end(), hits.begin(), hits.begin() + got);
        if (got)
            from = hits[got - 1] + 1;
    }
    return all;
}

class StrokeMatcher : public ::testing::Test {
protected:
    void TearDown() override { CStrokeMatcher::Select(CStrokeMatcher::Best()); }
};

} // namespace

TEST_F(StrokeMatcher, EveryPathAgreesOnRandomCodesAndRecords)
{
    // A build that lost its vector paths would otherwise test only the loop.
    ASSERT_GT(CStrokeMatcher::Paths().size(), 1u);
    for (const auto path : CStrokeMatcher::Paths())
        std::printf("path %s\n", CStrokeMatcher::Name(path));
    // Stroke words from a small pool, so that codes meet matches often;
    // codes with wildcards, with a value outside its mask, and with bits
    // above the 16 of word 2 (never met, as the word is widened by zeros).
    std::mt19937 rng(8);
    std::vector<uint32_t> pool;
    for (int i = 0; i < 6; ++i)
        pool.push_back(uint32_t(rng()) & (rng() % 2 ? 0x3FFFFFFFu : 0x1FFu));
    for (const auto path : CStrokeMatcher::Paths()) {
        ASSERT_TRUE(CStrokeMatcher::Select(path));
        SCOPED_TRACE(CStrokeMatcher::Name(path));
        std::mt19937 trial(80);
        for (int t = 0; t < 2000; ++t) {
            const uint32_t count = trial() % 90;
            TRecords records;
            for (uint32_t i = 0; i < count; ++i)
                records.Add({{pool[trial() % 6], pool[trial() % 3], pool[trial() % 2] & 0xFFFF}}, uint16_t(trial()));
            const CStrokeCode model = count ? CStrokeCode::Load(&records.Bytes[12 * (trial() % count)]) : CStrokeCode();
            uint32_t mask[3], value[3];
            for (int k = 0; k < 3; ++k) {
                mask[k] = trial() % 4 == 0 ? 0 : uint32_t(trial());
                value[k] = model.Words[k] & mask[k];
            }
            switch (trial() % 8) {
            case 0: value[2] |= 1u << 16; break;
            case 1: value[0] |= ~mask[0]; break;
            case 2: mask[2] |= 0xFFFF0000u; break;
            default: break;
            }
            StrokeModel reference(records.Bytes.data(), count);
            reference.QueryPattern(value, mask);
            const uint32_t from = count ? trial() % (count + 2) : 0;
            ASSERT_EQ(AllMatches(records, from, value, mask, 1 + trial() % 5), reference.AllMatches(from))
                << "trial " << t << " count " << count << " from " << from;
        }
    }
}

TEST_F(StrokeMatcher, EveryPathAgreesOnThePack)
{
    std::ifstream in(DIRORU_PACK_DIR "/bs.dat", std::ios::binary);
    if (!in)
        GTEST_SKIP() << "no data pack: build the target diroru_pack";
    TRecords pack;
    pack.Bytes.assign(std::istreambuf_iterator<char>(in), {});
    pack.Bytes.resize(pack.Count() * 12);
    ASSERT_GT(pack.Count(), 20000u);

    // Every code of one to four strokes (wildcards included), then every
    // character's full code; under emulation a run may take every n-th full
    // code (DIRORU_FULL_CODE_STRIDE).
    const char* stride = std::getenv("DIRORU_FULL_CODE_STRIDE");
#ifdef NDEBUG
    const size_t every = stride ? std::max(1, std::atoi(stride)) : 1;
#else
    const size_t every = stride ? std::max(1, std::atoi(stride)) : 8; // unoptimised: a sample
#endif
    StrokeModel model(pack.Bytes.data(), pack.Count());
    const std::vector<std::string> codes = model.PackCodes(every);
    ASSERT_GT(codes.size(), 20000u / every);
    for (const std::string& code : codes) {
        model.Query(code);
        uint32_t value[3], mask[3];
        CStrokeCode::Pattern(std::u16string(code.begin(), code.end()), value, mask);
        const std::vector<uint32_t> expected = model.AllMatches();
        for (const auto path : CStrokeMatcher::Paths()) {
            CStrokeMatcher::Select(path);
            // Not ASSERT_EQ: a common code has thousands of matches to print.
            ASSERT_TRUE(AllMatches(pack, 0, value, mask, 64) == expected) << "code " << code << " on " << CStrokeMatcher::Name(path);
        }
    }
}
