// The dictionary against the reference model on the real data pack: every
// code of one to four strokes and every character's full code give the
// model's candidates, pages, flags and walk positions. Run on the widest
// match path: that every path finds the same matches on the pack is the
// matcher's own test.
#include "CBHWordLib.h"
#include "CStrokeCode.h"
#include "StrokeDictionaryChecks.h"
#include "StrokeModel.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <set>
#include <string>
#include <vector>

namespace {

const QString PackDictionary = QStringLiteral(DIRORU_PACK_DIR "/bs.dat");

// Unoptimised builds (the sanitizer runs) check a sample of the four-stroke
// codes: there a record read costs tens of times more, and reads past the
// end are the synthetic tests' job anyway (a mapping is padded to a whole
// page, so a sanitizer could not see them here). Full codes, with a match
// or two each, are sampled everywhere: that every one finds the model's
// matches is the matcher's test.
#ifdef NDEBUG
constexpr size_t Sample = 1;
#else
constexpr size_t Sample = 8;
#endif
constexpr size_t FullCodeSample = 8 * Sample;

void ExpectSameAsModel(const std::vector<std::string>& codes)
{
    CBHWordLib lib(PackDictionary);
    lib.PageSize = 5;
    lib.OpenFile();
    ASSERT_GT(lib.RecordCount, 20000u);
    StrokeModel model(lib.Records, lib.RecordCount);
    for (const std::string& code : codes) {
        SCOPED_TRACE("code " + code);
        model.Query(code);
        const std::vector<uint32_t> matches = model.AllMatches();
        EXPECT_EQ(lib.Query(QString::fromStdString(code)), !matches.empty());
        ExpectWalk(lib, matches, false);
        ExpectPages(lib, matches);
        if (testing::Test::HasFailure())
            return;
    }
}

class StrokePackEquivalence : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(PackDictionary).isFile())
            GTEST_SKIP() << "no data pack: build the target diroru_pack";
    }
};

} // namespace

TEST_F(StrokePackEquivalence, EveryCodeOfOneToFourStrokes)
{
    std::vector<std::string> codes;
    for (int length = 1; length <= 4; ++length) {
        const std::vector<std::string> ofLength = StrokeModel::CodesOfLength(length);
        for (size_t k = 0; k < ofLength.size(); k += length < 4 ? 1 : Sample)
            codes.push_back(ofLength[k]);
    }
    ExpectSameAsModel(codes);
}

TEST_F(StrokePackEquivalence, CharactersFullCodes)
{
    CBHWordLib lib(PackDictionary);
    lib.OpenFile();
    std::set<std::string> seen;
    std::vector<std::string> codes;
    for (uint32_t i = 0; i < lib.RecordCount; ++i) {
        const std::string code = CStrokeCode::Load(&lib.Records[i]).Digits();
        if (seen.insert(code).second && seen.size() % FullCodeSample == 1)
            codes.push_back(code);
    }
    ASSERT_GT(codes.size(), 20000u / FullCodeSample);
    ExpectSameAsModel(codes);
}
