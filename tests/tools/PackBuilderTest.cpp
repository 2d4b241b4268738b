#include "CAssociationWriter.h"
#include "CBHWordLib.h"
#include "CDictSource.h"
#include "CFrequencyTable.h"
#include "CPackBuilder.h"
#include "CPackChecker.h"
#include "CStrokeCode.h"
#include "CStrokeDictWriter.h"
#include "CStrokeTable.h"
#include "CSymbolFileWriter.h"
#include "CWordTable.h"
#include "Gbk.h"
#include "TestFiles.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// Three characters with their stroke orders as the source writes them:
// 必 with a Taiwan order first and the mainland order last, 十 and 口 with
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

template <typename T>
T load(const char* text)
{
    CDictSource source;
    source.Parse(QByteArray(text));
    T table;
    table.Load(source);
    return table;
}

QString record(const QByteArray& bs, int i)
{
    const QString digits = QString::fromStdString(CStrokeCode::Load(bs.constData() + 12 * i).Digits());
    return QString(QChar(qFromLittleEndian<quint16>(bs.constData() + 12 * i + 10))) + digits;
}

} // namespace

TEST(StrokeTable, KeepsOrdersOfChineseCharactersMainlandLast)
{
    const CStrokeTable table = load<CStrokeTable>(StrokeYaml);
    EXPECT_EQ(table.Orders().size(), 3u); // 必 十 口; 丁's code is invalid, A is no Chinese character
    EXPECT_EQ(table.Orders().at(u'必'), QStringList({"45443", "45434"}));
    EXPECT_EQ(table.MainOrder(u'必'), "45434");
    EXPECT_EQ(table.MainOrder(u'口'), "251"); // the placeholder after it is dropped, not taken as last
    EXPECT_EQ(table.Stats().Placeholders, 1); // 㐆 lies outside the range and is not counted
    EXPECT_EQ(table.Stats().Invalid, 1);
    EXPECT_TRUE(table.MainOrder(u'丁').isEmpty());

    // Orders that differ only past the 25th stroke become one record.
    const CStrokeTable longOrders = load<CStrokeTable>(
        "龘\thhhhhhhhhhhhhhhhhhhhhhhhhs\n龘\thhhhhhhhhhhhhhhhhhhhhhhhhp\n");
    EXPECT_EQ(longOrders.Orders().at(u'龘').size(), 1);
    EXPECT_EQ(longOrders.Stats().Truncated, 2);

    QString digits;
    EXPECT_TRUE(CStrokeTable::ToDigits("hspnz", &digits));
    EXPECT_EQ(digits, "12345");
    EXPECT_FALSE(CStrokeTable::ToDigits("", &digits));
    EXPECT_FALSE(CStrokeTable::ToDigits("h6", &digits));
}

TEST(FrequencyTable, CountsOwnWeightAndWordsAndSumsPairs)
{
    const CFrequencyTable freq = load<CFrequencyTable>(WordYaml);
    EXPECT_EQ(freq.Frequency(u'十'), 10u + 30 + 25 + 5 + 5);
    EXPECT_EQ(freq.Frequency(u'口'), 40u + 30);
    EXPECT_EQ(freq.Frequency(u'丁'), 0u);
    EXPECT_EQ(freq.Followers(u'十').at(u'口'), 30u);
    EXPECT_EQ(freq.Followers(u'十').at(u'十'), 5u);
    EXPECT_TRUE(freq.Followers(u'口').empty());
    EXPECT_EQ(freq.ByFrequency({u'丁', u'口', u'必', u'十'}), QList<char16_t>({u'十', u'口', u'必', u'丁'}));
}

TEST(StrokeDictWriter, PacksStrokesThreeBitsEachInThreeWords)
{
    const QByteArray r = CStrokeDictWriter::Record("123451234512345123451234512", u'龘');
    ASSERT_EQ(r.size(), 12);
    EXPECT_EQ(qFromLittleEndian<quint32>(r.constData()) & 077, 021u); // strokes 1 and 2 in the lowest bits
    EXPECT_EQ(qFromLittleEndian<quint32>(r.constData() + 4) & 7, 1u); // stroke 11 starts word 1
    EXPECT_EQ(qFromLittleEndian<quint16>(r.constData() + 8) >> 12, 5u); // stroke 25 is the last kept
    EXPECT_EQ(qFromLittleEndian<quint16>(r.constData() + 10), u'龘');
    EXPECT_EQ(record(r, 0), QString("龘") + QString("1234512345123451234512345"));
}

TEST(StrokeDictWriter, MainOrdersByFrequencyThenOtherOrders)
{
    const CStrokeTable strokes = load<CStrokeTable>(StrokeYaml);
    const CFrequencyTable freq = load<CFrequencyTable>(WordYaml);
    const QByteArray bs = CStrokeDictWriter::Build(strokes, freq);
    ASSERT_EQ(bs.size(), 4 * 12);
    EXPECT_EQ(record(bs, 0), "十12");
    EXPECT_EQ(record(bs, 1), "口251");
    EXPECT_EQ(record(bs, 2), "必45434");
    EXPECT_EQ(record(bs, 3), "必45443");

    // Both orders of 必 reach it through the dictionary itself.
    TestDir dir;
    CBHWordLib lib(dir.write("bs.dat", bs));
    lib.PageSize = 5;
    lib.OpenFile();
    for (const char* code : {"45434", "45443"}) {
        ASSERT_TRUE(lib.Query(code)) << code;
        lib.PageFirst();
        EXPECT_EQ(lib.RecValue(), "必") << code;
    }
    // A prefix both orders share finds the character twice: the keyboard
    // has to guard its promoted cells against that.
    ASSERT_TRUE(lib.Query("454"));
    int i = 0, hits = 0;
    while (lib.GetWordCode(i) == u'必') {
        ++hits;
        ++i;
    }
    EXPECT_EQ(hits, 2);
}

TEST(AssociationWriter, RefsAreSmallEvenAndFallWithStrength)
{
    EXPECT_EQ(CAssociationWriter::Ref(100, 100), CAssociationWriter::MaxRef);
    EXPECT_EQ(CAssociationWriter::Ref(50, 100), CAssociationWriter::MaxRef - 2);
    EXPECT_EQ(CAssociationWriter::Ref(24, 100), CAssociationWriter::MaxRef - 4);
    EXPECT_EQ(CAssociationWriter::Ref(1, 1000000), 2);
    EXPECT_EQ(CAssociationWriter::Ref(0, 100), 0);
    for (uint64_t w = 1; w <= 1000; w += 37)
        EXPECT_EQ(CAssociationWriter::Ref(w, 1000) % 2, 0);
}

TEST(AssociationWriter, ListsArePaddedCappedAndIndexed)
{
    // 一 is followed by 100 distinct characters of falling strength.
    QByteArray words = "---\n...\n";
    for (int i = 0; i < 100; ++i)
        words += QString("一%1\tx\t%2\n").arg(QChar(char16_t(0x5000 + i))).arg(1000 - i).toUtf8();
    const CFrequencyTable freq = load<CFrequencyTable>(words.constData());
    const QList<char16_t> fillers = {u'的', 0x5000, u'是'};
    CAssociationWriter writer;
    writer.Build(freq, {u'丁', u'一', u'丁'}, fillers);

    const QByteArray& idx = writer.Index();
    const QByteArray& dat = writer.Data();
    ASSERT_EQ(idx.size(), 16); // 一 and 丁 once each, in code order
    EXPECT_EQ(qFromLittleEndian<quint16>(idx.constData()), u'一');
    EXPECT_EQ(qFromLittleEndian<quint16>(idx.constData() + 2), CAssociationWriter::MaxRecords);
    EXPECT_EQ(qFromLittleEndian<quint16>(idx.constData() + 8), u'丁');
    EXPECT_EQ(qFromLittleEndian<quint16>(idx.constData() + 10), 3); // only three fillers to pad with
    EXPECT_EQ(qFromLittleEndian<quint32>(idx.constData() + 12), 4u * CAssociationWriter::MaxRecords);
    EXPECT_EQ(dat.size(), 4 * (CAssociationWriter::MaxRecords + 3));
    EXPECT_EQ(qFromLittleEndian<quint16>(dat.constData()), 0x5000); // strongest first
    EXPECT_EQ(qFromLittleEndian<quint16>(dat.constData() + 2), CAssociationWriter::MaxRef);
    EXPECT_EQ(qFromLittleEndian<quint16>(dat.constData() + 4 * 64), u'的');
    EXPECT_EQ(qFromLittleEndian<quint16>(dat.constData() + 4 * 64 + 2), 0);
}

TEST(AssociationWriter, AFollowerPickedAHandfulOfTimesOvertakesTheStrongest)
{
    const CFrequencyTable freq = load<CFrequencyTable>("十口\tx\t900\n十必\tx\t10\n");
    CAssociationWriter writer;
    writer.Build(freq, {u'十'}, {u'的', u'是'});
    TestDir dir;
    CWordTable table(dir.write("word.idx", writer.Index()), dir.write("word.dat", writer.Data()));
    table.OpenFile();
    // 丁 is not in the list: its first pick takes the weakest slot.
    int picks = 0;
    do {
        ASSERT_TRUE(table.Query(u'十'));
        table.UpdateWordRef(u'丁');
        table.UpdateToFile();
        ++picks;
        table.Query(u'十');
    } while (table.GetWord(0) != "丁" && picks < 50);
    EXPECT_EQ(picks, CAssociationWriter::MaxRef / 2 + 1);
    table.CloseFile();
}

TEST(SymbolFileWriter, WritesGbkWithCrLfAfterTheHeader)
{
    const QByteArray source = "notes\n---\n，。\n\nab\nAB\n12\n\n←①\n\n；“”、…：，。？！\n22272E\nFFFFFF\n";
    QByteArray out;
    QString error;
    ASSERT_TRUE(CSymbolFileWriter::Convert(source, &out, &error)) << error.toStdString();
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 12); // eleven lines, each ending in CR LF
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_EQ(gbk(lines[0].chopped(1)), "，。");
    EXPECT_EQ(lines[0].size(), 5); // two double-byte symbols and CR
    EXPECT_EQ(gbk(lines[6].chopped(1)), "←①");
    EXPECT_EQ(lines[1], "\r");
    EXPECT_EQ(lines[9], "22272E\r");
}

TEST(SymbolFileWriter, RefusesWhatTheKeyboardCouldNotShow)
{
    const QString good = "---\na\n\nb\n\nc\n\nd\n\n；“”、…：，。？！\n000000\nFFFFFF\n";
    QByteArray out;
    QString error;
    ASSERT_TRUE(CSymbolFileWriter::Convert(good.toUtf8(), &out, &error));

    QString noGbk = good;
    noGbk.replace("c\n", "c∓\n"); // minus-or-plus has no GBK form
    EXPECT_FALSE(CSymbolFileWriter::Convert(noGbk.toUtf8(), &out, &error));
    EXPECT_TRUE(error.contains("2213")) << error.toStdString();

    QString emoji = good;
    emoji.replace("d\n", QString("d") + QString::fromUcs4(U"\U0001F600") + "\n");
    EXPECT_FALSE(CSymbolFileWriter::Convert(emoji.toUtf8(), &out, &error));

    QString tooLong = good;
    tooLong.replace("a\n", QString(127, QChar(u'中')) + "\n"); // 254 bytes in GBK
    EXPECT_FALSE(CSymbolFileWriter::Convert(tooLong.toUtf8(), &out, &error));

    QString shortDefaults = good;
    shortDefaults.replace("；“”、…：，。？！", "；“”");
    EXPECT_FALSE(CSymbolFileWriter::Convert(shortDefaults.toUtf8(), &out, &error));

    QString badColour = good;
    badColour.replace("000000", "black");
    EXPECT_FALSE(CSymbolFileWriter::Convert(badColour.toUtf8(), &out, &error));

    EXPECT_FALSE(CSymbolFileWriter::Convert(good.toUtf8() + "extra\n", &out, &error));
    EXPECT_FALSE(CSymbolFileWriter::Convert(QByteArray(), &out, &error));
}

TEST(PackBuilder, BuildsTheWholePackDeterministically)
{
    TestDir dir;
    CPackBuilder::TOptions options{dir.write("stroke.yaml", StrokeYaml), dir.write("words.yaml", WordYaml),
                                   DIRORU_DATA_DIR, dir.path("a")};
    CPackBuilder builder;
    QString error;
    ASSERT_TRUE(builder.Run(options, &error)) << error.toStdString();
    options.OutDir = dir.path("b");
    ASSERT_TRUE(builder.Run(options, &error)) << error.toStdString();

    for (const char* name : {"bs.dat", "word.idx", "word.dat", "Symbols.txt", "InputW_Stroke_Entry.gif",
                             "InputW_Stroke_Entry_Ext.gif"}) {
        const QByteArray a = dir.read(QString("a/") + name);
        EXPECT_FALSE(a.isEmpty()) << name;
        EXPECT_EQ(a, dir.read(QString("b/") + name)) << name;
    }
    EXPECT_EQ(dir.read("a/bs.dat").size(), 4 * 12);
    EXPECT_EQ(dir.read("a/word.idx").size(), 3 * 8); // a list for each of 十 口 必
}

TEST(PackBuilder, ReportsMissingOrEmptySources)
{
    TestDir dir;
    CPackBuilder builder;
    QString error;
    CPackBuilder::TOptions options{dir.path("none.yaml"), dir.write("words.yaml", WordYaml), DIRORU_DATA_DIR,
                                   dir.path("out")};
    EXPECT_FALSE(builder.Run(options, &error));
    EXPECT_TRUE(error.contains("none.yaml"));

    options.StrokeDict = dir.write("empty.yaml", "A\th\n");
    EXPECT_FALSE(builder.Run(options, &error));

    options.StrokeDict = dir.write("stroke.yaml", StrokeYaml);
    options.DataDir = dir.path("nodata");
    EXPECT_FALSE(builder.Run(options, &error));
    EXPECT_TRUE(error.contains("Symbols.utf8.txt"));
}

TEST(PackChecker, PassesABuiltPackAndNamesEachKindOfDamage)
{
    TestDir dir;
    CPackBuilder builder;
    QString error;
    ASSERT_TRUE(builder.Run({dir.write("stroke.yaml", StrokeYaml), dir.write("words.yaml", WordYaml), DIRORU_DATA_DIR,
                             dir.path("pack")}, &error));
    CPackChecker checker;
    checker.Check(dir.path("pack"));
    EXPECT_TRUE(checker.Problems().isEmpty()) << checker.Problems().join("; ").toStdString();

    const QByteArray bs = dir.read("pack/bs.dat"), idx = dir.read("pack/word.idx"), dat = dir.read("pack/word.dat");
    auto problemsWith = [&](const char* name, const QByteArray& bytes) {
        dir.write(QString("pack/") + name, bytes);
        checker.Check(dir.path("pack"));
        dir.write(QString("pack/") + name, name == QByteArray("bs.dat") ? bs : name == QByteArray("word.idx") ? idx : dat);
        return checker.Problems().join("; ");
    };
    EXPECT_TRUE(problemsWith("bs.dat", bs + bs.left(12)).contains("repeats"));
    EXPECT_TRUE(problemsWith("bs.dat", bs + "x").contains("12-byte"));
    QByteArray gap = bs;
    gap[0] = char(gap[0] & ~7); // first stroke made padding, later strokes kept
    EXPECT_TRUE(problemsWith("bs.dat", gap).contains("invalid stroke code"));
    QByteArray unsorted = idx.mid(8, 8) + idx.left(8) + idx.mid(16);
    EXPECT_TRUE(problemsWith("word.idx", unsorted).contains("not above"));
    QByteArray far = idx;
    qToLittleEndian<quint32>(quint32(dat.size()), far.data() + 4);
    EXPECT_TRUE(problemsWith("word.idx", far).contains("past the end"));
    EXPECT_TRUE(problemsWith("word.dat", dat.left(dat.size() - 4)).contains("past the end"));
    QByteArray shared = idx;
    qToLittleEndian<quint32>(0, shared.data() + 12);
    EXPECT_TRUE(problemsWith("word.idx", shared).contains("share"));
    dir.write("pack/Symbols.txt", "a\r\n");
    checker.Check(dir.path("pack"));
    EXPECT_TRUE(checker.Problems().join("; ").contains("11"));
}
