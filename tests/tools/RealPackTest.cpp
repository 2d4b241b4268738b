// Facts about the packs the build makes from the Debian sources, and the
// language-model reader against libime's own scoring.

// Before any Qt header: Qt's foreach macro would rewrite libime's method.
#include <libime/core/languagemodel.h>

#include "CBHWordLib.h"
#include "CLanguageModelFile.h"
#include "CStrokeDictWriter.h"
#include "CWordTable.h"

#include <QFile>
#include <QSet>

#include <random>

#include <gtest/gtest.h>

namespace {

struct TPack {
    const char* Dir;
    const char* Bi;         // the main order of 必 in this pack's standard
    const char* Follower;   // a character that follows 們/们 across words
};

class RealPack : public ::testing::TestWithParam<TPack>
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(pack + "bs.dat"))
            GTEST_SKIP() << "no data pack built";
        lib.OpenFile();
    }

    QString first(const QString& code)
    {
        lib.Query(code);
        lib.PageFirst();
        return lib.RecValue();
    }

    const QString pack = QString::fromUtf8(GetParam().Dir) + "/";
    CBHWordLib lib{pack + "bs.dat"};
};

} // namespace

TEST_P(RealPack, EveryCharacterHasOneMainRecordFirstOfItsStandardAndAListWithRoom)
{
    EXPECT_EQ(first("25111"), "是");
    // Both orders of 必 find it; the standard's own is its main record.
    EXPECT_EQ(first("45434"), "必");
    EXPECT_EQ(first("45443"), "必");
    QSet<char16_t> seen;
    uint32_t i = 0;
    for (; i < lib.RecordCount && !seen.contains(lib.Records[i].Char); ++i) {
        seen.insert(lib.Records[i].Char);
        EXPECT_TRUE(lib.Records[i].Char != u'必'
                    || QByteArray(reinterpret_cast<const char*>(&lib.Records[i]), 12)
                        == CStrokeDictWriter::Record(GetParam().Bi, u'必'));
    }
    EXPECT_EQ(seen.size(), 0x9FA5 - 0x4E00 + 1); // the first repeat starts the other orders
    for (; i < lib.RecordCount; ++i)
        EXPECT_TRUE(seen.contains(lib.Records[i].Char));

    CWordTable table(pack + "word.idx", pack + "word.dat");
    table.OpenFile();
    EXPECT_EQ(table.IndexCount, 0x9FA5 - 0x4E00 + 1);
    const QString follows = QString::fromUtf8(GetParam().Follower);
    for (const QChar lead : {QChar(u'中'), QChar(u'龘'), follows[0]}) {
        ASSERT_TRUE(table.Query(lead.unicode()));
        EXPECT_GE(table.WordCount, 20);
        EXPECT_EQ(table.WordList[table.WordCount - 1].Ref, 0) << "no room to learn after " << QString(lead).toStdString();
    }
    // The list last queried, of 们: 的 follows it across words, which only
    // the language model says.
    QString firstPageOfList;
    for (int k = 0; k < 10 && k < table.WordCount; ++k)
        firstPageOfList += table.GetWord(k);
    EXPECT_TRUE(firstPageOfList.contains(follows[1])) << firstPageOfList.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothScripts, RealPack,
                         ::testing::Values(TPack{DIRORU_PACK_DIR, "45434", "们的"},
                                           TPack{DIRORU_HANT_PACK_DIR, "45443", "們的"}),
                         [](const auto& info) { return std::string(info.index ? "Traditional" : "Simplified"); });

TEST(LanguageModelFile, BigramsScoreAsLibimeScoresThem)
{
    const char* const file = DIRORU_LANGUAGE_MODEL;
    if (!QFile::exists(file))
        GTEST_SKIP() << "no language model installed";
    CLanguageModelFile model;
    QString error;
    ASSERT_TRUE(model.Open(file, &error)) << error.toStdString();
    const libime::LanguageModel reference(file);

    // A random sample of the listed bigrams: libime, which backs off where
    // a pair is not listed, must give exactly the listed joint probability.
    std::mt19937 random(20240611);
    std::bernoulli_distribution pick(2000.0 / double(model.BigramCount()));
    int checked = 0;
    qsizetype visited = 0;
    model.ForEachBigram([&](uint32_t w1, uint32_t w2, double log10Joint) {
        ++visited;
        if (!pick(random))
            return;
        const std::string a = model.Words()[w1].toStdString(), b = model.Words()[w2].toStdString();
        ASSERT_EQ(reference.index(a), w1) << a;
        EXPECT_NEAR(log10Joint, reference.wordsScore(reference.nullState(), {a, b}), 1e-4) << a << ' ' << b;
        ++checked;
    });
    EXPECT_EQ(visited, model.BigramCount());
    EXPECT_GT(checked, 1000);
}
