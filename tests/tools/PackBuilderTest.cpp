#include "CAssociationWriter.h"
#include "CDictSource.h"
#include "CFrequencyTable.h"
#include "CPackBuilder.h"
#include "CPackChecker.h"
#include "CStrokeDictWriter.h"
#include "CStrokeTable.h"
#include "CSymbolFileWriter.h"
#include "Gbk.h"
#include "TestFiles.h"

#include <QtEndian>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Three characters with their stroke orders as the source writes them:
// 必 with Taiwan's order first and the mainland order last, 十 and 口 with
// one each, plus lines the reader must pass over.
const char StrokeYaml[] =
    "# comment\n---\nname: stroke\n...\n\n"
    "必\tnznnp\n"
    "十\ths\n"
    "㐆\tszhhhshspnhszs\n"
    "口\tszh\n"
    "必\tnznpn\n"
    "口\tszhhhshspnhszs\n"
    "丁\thx\n"
    "七\t\n"
    "A\th\n";

// Words lift 十 above 口 although 口 has the larger own weight.
const char WordYaml[] =
    "---\nname: w\n...\n"
    "口\tkou\t40\n"
    "十\tshi\t10\n"
    "十口\tshi kou\t30\n"
    "十必\tshi bi\t25\n"
    "十十\tshi shi\t5\n"
    "必\tbi\t1\n"
    "Ab\tx\t1000\n";

template <typename T, typename... Extra>
T load(const char* text, Extra... extra)
{
    CDictSource source;
    source.Parse(QByteArray(text));
    T table;
    table.Load(source, extra...);
    return table;
}

CPackBuilder::TOptions options(const TestDir& dir, const QString& out)
{
    return {dir.write("stroke.yaml", StrokeYaml), dir.write("words.yaml", WordYaml), DIRORU_DATA_DIR, dir.path(out),
            QString(), QString(), false};
}

} // namespace

TEST(StrokeTable, KeepsOrdersWithTheStandardsMainOrderFirst)
{
    const struct {
        CStrokeTable::TStandard Standard;
        QStringList Bi;
    } cases[] = {{CStrokeTable::TStandard::Mainland, {"45434", "45443"}},
                 {CStrokeTable::TStandard::Taiwan, {"45443", "45434"}}};
    for (const auto& c : cases) {
        const CStrokeTable table = load<CStrokeTable>(StrokeYaml, c.Standard);
        EXPECT_EQ(table.Orders().size(), 3u); // 必 十 口; 丁's and 七's codes are invalid, A is no Chinese character
        EXPECT_EQ(table.Orders().at(u'必'), c.Bi);
        EXPECT_EQ(table.MainOrder(u'口'), "251"); // the placeholder after it is dropped
        EXPECT_EQ(table.Stats().Placeholders, 1); // 㐆 lies outside the range and is not counted
        EXPECT_EQ(table.Stats().Invalid, 2);
    }

    // Orders that differ only past the 25th stroke become one record.
    const CStrokeTable longOrders = load<CStrokeTable>(
        "龘\thhhhhhhhhhhhhhhhhhhhhhhhhs\n龘\thhhhhhhhhhhhhhhhhhhhhhhhhp\n");
    EXPECT_EQ(longOrders.Orders().at(u'龘'), QStringList(QString(25, u'1')));
    EXPECT_EQ(longOrders.Stats().Truncated, 2);
}

TEST(FrequencyTable, CountsOwnWeightAndWordsAndSumsPairs)
{
    const CFrequencyTable freq = load<CFrequencyTable>(WordYaml);
    EXPECT_EQ(freq.Frequency(u'十'), 10u + 30 + 25 + 5 + 5);
    EXPECT_EQ(freq.Frequency(u'口'), 40u + 30);
    EXPECT_EQ(freq.Frequency(u'丁'), 0u);
    EXPECT_EQ(freq.Followers(u'十'), (std::map<char16_t, uint64_t>{{u'口', 30}, {u'必', 25}, {u'十', 5}}));
    EXPECT_TRUE(freq.Followers(u'口').empty());
    EXPECT_EQ(freq.ByFrequency({u'七', u'丁', u'口', u'必', u'十'}), QList<char16_t>({u'十', u'口', u'必', u'丁', u'七'}));
    // A word list without readings (essay.txt) has the weight right after
    // the text; only Chinese characters follow.
    EXPECT_EQ(load<CFrequencyTable>("十口\t7\n十a\t2\n").Followers(u'十'), (std::map<char16_t, uint64_t>{{u'口', 7}}));
}

TEST(StrokeDictWriter, MainOrdersByFrequencyThenOtherOrders)
{
    const QByteArray bs = CStrokeDictWriter::Build(load<CStrokeTable>(StrokeYaml), load<CFrequencyTable>(WordYaml));
    EXPECT_EQ(bs, CStrokeDictWriter::Record("12", u'十') + CStrokeDictWriter::Record("251", u'口')
                      + CStrokeDictWriter::Record("45434", u'必') + CStrokeDictWriter::Record("45443", u'必'));
}

TEST(AssociationWriter, RefsAreSmallEvenAndFallWithStrength)
{
    const int max = CAssociationWriter::MaxRef;
    const struct {
        double Weight, Top;
        int Ref;
    } cases[] = {{100, 100, max}, {50, 100, max - 2}, {26, 100, max - 2}, {24, 100, max - 4}, {1, 1e6, 0}, {0, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CAssociationWriter::Ref(c.Weight, c.Top), c.Ref) << c.Weight << '/' << c.Top;
}

TEST(AssociationWriter, ListsMixWordsAndModelAndArePaddedCappedAndIndexed)
{
    // 一 is followed inside words by more distinct characters than a list holds.
    QByteArray words = "---\n...\n";
    for (int i = 0; i < CAssociationWriter::MaxRecords + 10; ++i)
        words += QString("一%1\tx\t%2\n").arg(QChar(char16_t(0x5000 + i))).arg(1000 - i).toUtf8();
    const CFrequencyTable freq = load<CFrequencyTable>(words.constData());
    // The model says 一 is followed by 是 (across words) more than by anything
    // inside them, and adds to 0x5001; 丁 only in the model.
    CModelFollowers model;
    const double total = double(freq.TotalStartFrequency());
    model.Add(u'一', u'是', 2000 / total);
    model.Add(u'一', 0x5001, 5 / total);
    model.Add(u'丁', u'是', 1 / total);
    CAssociationWriter writer;
    writer.Build(freq, model, {u'丁', u'一', u'丁'}, {u'的', 0x5000, u'是'});

    const QByteArray &idx = writer.Index(), &dat = writer.Data();
    // 一 and 丁 once each, in code order; 丁 has 是, then the two other
    // fillers to pad with. 一's list is strongest first (0x5001 passes 0x5000
    // by the model's share).
    ASSERT_EQ(idx.size(), 16);
    EXPECT_EQ(qFromLittleEndian<quint32>(idx.constData() + 12), 4u * CAssociationWriter::MaxRecords);
    EXPECT_EQ(dat.size(), 4 * (CAssociationWriter::MaxRecords + 3));
    const int max = CAssociationWriter::MaxRef, tail = 4 * CAssociationWriter::MaxRecords;
    const std::tuple<const QByteArray&, int, quint16> expected[] = {
        {idx, 0, u'一'}, {idx, 2, CAssociationWriter::MaxRecords}, {idx, 8, u'丁'}, {idx, 10, 3}, {dat, 0, u'是'},
        {dat, 2, max}, {dat, 4, 0x5001}, {dat, 6, max}, {dat, 8, 0x5000}, {dat, 10, max - 2}, {dat, tail, u'是'},
        {dat, tail + 2, max}, {dat, tail + 4, u'的'}, {dat, tail + 6, 0}};
    for (const auto& [bytes, at, value] : expected)
        EXPECT_EQ(u16At(bytes, at), value) << (&bytes == &idx ? "word.idx " : "word.dat ") << at;
}

TEST(SymbolFileWriter, WritesGbkWithCrLfAndCornerQuotesOnRequestButNothingTheKeyboardCouldNotShow)
{
    const QString source = "notes\n---\n，。“”「」\n\nab\nAB\n12\n\n←①\n\n；“”、…：，。？！\n22272E\nFFFFFF\n";
    QByteArray out;
    QString error;
    for (const bool corner : {false, true}) {
        ASSERT_TRUE(CSymbolFileWriter::Convert(source.toUtf8(), &out, &error, corner)) << error.toStdString();
        const QList<QByteArray> lines = out.split('\n');
        ASSERT_EQ(lines.size(), 12);
        EXPECT_EQ(out.count("\r\n"), 11); // eleven lines, each ending in CR LF
        EXPECT_EQ(gbk(lines[0].chopped(1)), corner ? "，。「」“”" : "，。“”「」");
        EXPECT_EQ(lines[0].size(), 13); // six double-byte symbols and CR
        EXPECT_EQ(gbk(lines[8].chopped(1)), corner ? "；「」、…：，。？！" : "；“”、…：，。？！");
        EXPECT_EQ(lines[1], "\r");
        EXPECT_EQ(lines[9], "22272E\r");
    }

    const struct {
        QString From, To;
    } cases[] = {
        {"12\n", QString("12") + QString::fromUcs4(U"\U0001F600") + "\n"},
        {"AB\n", QString(127, QChar(u'中')) + "\n"}, // 254 bytes in GBK
        {"；“”、…：，。？！", "；“”"},              // too few default marks
        {"22272E", "black"},
        {"FFFFFF\n", "FFFFFF\nextra\n"},
        {source, ""},
        {"ab\n", "ab∓\n"}, // minus-or-plus has no GBK form, and the error names it
    };
    for (const auto& c : cases)
        EXPECT_FALSE(CSymbolFileWriter::Convert(QString(source).replace(c.From, c.To).toUtf8(), &out, &error))
            << c.To.toStdString();
    EXPECT_TRUE(error.contains("2213")) << error.toStdString();
}

TEST(PackBuilder, BuildsTheWholePackDeterministicallyInEitherScriptAndOnlyDamageFailsItsCheck)
{
    TestDir dir;
    CPackBuilder builder;
    QString error;
    for (const char* out : {"a", "b"})
        ASSERT_TRUE(builder.Run(options(dir, out), &error)) << error.toStdString();
    for (const char* name : {"bs.dat", "word.idx", "word.dat", "Symbols.txt", "InputW_Stroke_Entry.gif",
                             "InputW_Stroke_Entry_Ext.gif"}) {
        const QByteArray a = dir.read(QString("a/") + name);
        EXPECT_FALSE(a.isEmpty()) << name;
        EXPECT_EQ(a, dir.read(QString("b/") + name)) << name;
    }
    EXPECT_EQ(dir.read("a/word.idx").size(), 3 * 8); // a list for each of 十 口 必

    // The Traditional pack takes Taiwan's order of 必 as its main record.
    CPackBuilder::TOptions traditional = options(dir, "t");
    traditional.Traditional = true;
    ASSERT_TRUE(builder.Run(traditional, &error)) << error.toStdString();
    EXPECT_EQ(dir.read("t/bs.dat").mid(24, 12), CStrokeDictWriter::Record("45443", u'必'));
    EXPECT_NE(dir.read("t/Symbols.txt"), dir.read("a/Symbols.txt"));

    // The checker passes the pack and names each kind of damage to it.
    CPackChecker checker;
    checker.Check(dir.path("a"));
    EXPECT_TRUE(checker.Problems().isEmpty()) << checker.Problems().join("; ").toStdString();
    const QByteArray bs = dir.read("a/bs.dat"), idx = dir.read("a/word.idx"), dat = dir.read("a/word.dat");
    auto with = [](QByteArray bytes, int at, quint32 value) {
        qToLittleEndian<quint32>(value, bytes.data() + at);
        return bytes;
    };
    QByteArray gap = bs;
    gap[0] = char(gap[0] & ~7); // first stroke made padding, later strokes kept
    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Problem;
    } cases[] = {
        {"bs.dat", bs + bs.left(12), "repeats"},
        {"bs.dat", bs + "x", "12-byte"},
        {"bs.dat", gap, "invalid stroke code"},
        {"word.idx", idx.mid(8, 8) + idx.left(8) + idx.mid(16), "not above"},
        {"word.idx", idx.left(8) + idx.left(8) + idx.mid(16), "not above"},
        {"word.idx", with(idx, 4, quint32(dat.size())), "past the end"},
        {"word.dat", dat.left(dat.size() - 4), "past the end"},
        {"word.idx", with(idx, 12, 0), "share"},
        {"Symbols.txt", "a\r\n", "11"},
    };
    for (const auto& c : cases) { // damaged in the copy b, then mended
        dir.write(QString("b/") + c.Name, c.Bytes);
        checker.Check(dir.path("b"));
        dir.write(QString("b/") + c.Name, dir.read(QString("a/") + c.Name));
        EXPECT_TRUE(checker.Problems().join("; ").contains(c.Problem)) << c.Name << ": " << c.Problem;
    }
}

TEST(PackBuilder, ReportsMissingOrUnusableSources)
{
    TestDir dir;
    const QString notAModel = dir.write("model.lm", QByteArray("mmap lm http://kheafield.com/code format version 5\n"));
    const struct {
        std::function<void(CPackBuilder::TOptions&)> Break;
        const char* Named;
    } cases[] = {
        {[&](CPackBuilder::TOptions& o) { o.StrokeDict = dir.path("none.yaml"); }, "none.yaml"},
        {[&](CPackBuilder::TOptions& o) { o.StrokeDict = dir.write("empty.yaml", "A\th\n"); }, "U+4E00"},
        {[&](CPackBuilder::TOptions& o) { o.DataDir = dir.path("nodata"); }, "Symbols.utf8.txt"},
        {[&](CPackBuilder::TOptions& o) { o.Model = dir.path("none.lm"); }, "none.lm"},
        {[&](CPackBuilder::TOptions& o) { o.Model = notAModel; }, "KenLM"},
        {[&](CPackBuilder::TOptions& o) { o.Model = o.StrokeDict; }, "KenLM"},
    };
    for (const auto& c : cases) {
        CPackBuilder::TOptions o = options(dir, "out");
        c.Break(o);
        QString error;
        EXPECT_FALSE(CPackBuilder().Run(o, &error)) << c.Named;
        EXPECT_TRUE(error.contains(c.Named)) << error.toStdString();
    }
}
