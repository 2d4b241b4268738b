#include "CBHWordLib.h"
#include "StrokeRecord.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct TEntry {
    const char* Strokes;
    char16_t Char;
};

QString WriteDictionary(const TestDir& dir, std::initializer_list<TEntry> entries)
{
    QByteArray bytes;
    for (const TEntry& e : entries)
        bytes += Record(e.Strokes, e.Char);
    return dir.write("bs.dat", bytes);
}

// The page shown, as the stroke keyboard reads it.
QString Page(CBHWordLib& lib)
{
    QString out;
    lib.PageFirst();
    for (int i = 0; i < lib.PageSize; ++i) {
        out += lib.RecValue();
        if (!lib.Next())
            break;
    }
    return out;
}

// Every match through GetWordCode, as the promoted-candidate walk reads them.
QString Walk(CBHWordLib& lib)
{
    QString out;
    int index = 0;
    while (uint16_t c = lib.GetWordCode(index)) {
        out += QChar(c);
        ++index;
    }
    return out;
}

QString Matches(CBHWordLib& lib, const QString& code)
{
    return lib.Query(code) ? Walk(lib) : QString();
}

class StrokeDictionary : public ::testing::Test {
protected:
    TestDir dir;
};

} // namespace

TEST_F(StrokeDictionary, PrefixAndWildcardMatching)
{
    CBHWordLib lib(WriteDictionary(dir, {
        {"1", u'a'}, {"12", u'b'}, {"2", u'c'}, {"13", u'd'},
        {"132", u'e'}, {"16", u'f'}, {"2512", u'g'},
    }));
    lib.OpenFile();
    EXPECT_EQ(Matches(lib, "1"), "abdef");
    // A wildcard also meets the zero padding after a shorter sequence.
    EXPECT_EQ(Matches(lib, "17"), "abdef");
    EXPECT_EQ(Matches(lib, "7"), "abcdefg");
    EXPECT_EQ(Matches(lib, "172"), "e");
    EXPECT_EQ(Matches(lib, "16"), "f");
    EXPECT_EQ(Matches(lib, "25121"), "");
}

TEST_F(StrokeDictionary, StrokesInLaterWordsMatch)
{
    // 23 strokes: positions 10..19 and 20..22 live in words 1 and 2.
    CBHWordLib lib(WriteDictionary(dir, {
        {"12345123451234512345123", u'x'},
        {"12345123451234512345124", u'y'},
        {"1234512345123451234512345", u'z'},
    }));
    lib.OpenFile();
    EXPECT_EQ(Matches(lib, "12345123451234512345123"), "xz");
    EXPECT_EQ(Matches(lib, "77777777777777777777774"), "y");
    // Past 25 strokes a code is compared by its first 25, as records are.
    EXPECT_EQ(Matches(lib, "12345123451234512345123452"), "z");
}

TEST_F(StrokeDictionary, CharactersOutsideTheDigitsNeverSpill)
{
    CBHWordLib lib(WriteDictionary(dir, {
        {"12", u'a'}, {"32", u'b'}, {"13", u'c'}, {"2", u'd'},
    }));
    lib.OpenFile();
    // '9' has a bit above the three of its position; it acts as a wildcard
    // and must not turn the following '2' into another stroke.
    EXPECT_EQ(Matches(lib, "92"), "ab");
    EXPECT_EQ(Matches(lib, "x2"), "ab");
    // U+0131 has the low byte of '1' but is no stroke digit.
    EXPECT_EQ(Matches(lib, QString(QChar(0x0131)) + "2"), "ab");
}

TEST_F(StrokeDictionary, PagingSixMatchesByFive)
{
    CBHWordLib lib(WriteDictionary(dir, {
        {"2", u'z'}, {"1", u'a'}, {"11", u'b'}, {"2", u'z'}, {"12", u'c'},
        {"13", u'd'}, {"14", u'e'}, {"2", u'z'}, {"15", u'f'}, {"2", u'z'},
    }));
    lib.PageSize = 5;
    lib.OpenFile();
    ASSERT_TRUE(lib.Query("1"));
    EXPECT_TRUE(lib.Bof());
    EXPECT_FALSE(lib.Eof());
    EXPECT_EQ(Page(lib), "abcde");

    EXPECT_TRUE(lib.NextPage());
    EXPECT_FALSE(lib.Bof());
    EXPECT_EQ(Page(lib), "f");

    EXPECT_FALSE(lib.NextPage());
    EXPECT_TRUE(lib.Eof());
    EXPECT_EQ(Page(lib), "f");

    EXPECT_TRUE(lib.PriorPage());
    EXPECT_TRUE(lib.Bof());
    EXPECT_FALSE(lib.Eof());
    EXPECT_EQ(Page(lib), "abcde");
    EXPECT_FALSE(lib.PriorPage());

    // GetWordCode counts records from the first match and moves nothing.
    int index = 0;
    EXPECT_EQ(lib.GetWordCode(index), u'a');
    EXPECT_EQ(index, 0);
    index = 2;
    EXPECT_EQ(lib.GetWordCode(index), u'c');
    EXPECT_EQ(index, 3);
    index = 8;
    EXPECT_EQ(lib.GetWordCode(index), 0);
    EXPECT_EQ(index, 9);
    index = 100;
    EXPECT_EQ(lib.GetWordCode(index), 0);
    EXPECT_EQ(index, 9);
    EXPECT_EQ(Page(lib), "abcde");

    // Exactly one page: no next page, the page start stays.
    ASSERT_TRUE(lib.Query("11"));
    lib.PageSize = 1;
    EXPECT_FALSE(lib.NextPage());
    EXPECT_TRUE(lib.Eof());
    EXPECT_EQ(Page(lib), "b");
}

TEST_F(StrokeDictionary, QueryFindingNothingLeavesCursorOnFirstRecord)
{
    CBHWordLib lib(WriteDictionary(dir, {{"1", u'a'}, {"2", u'b'}}));
    lib.OpenFile();
    EXPECT_FALSE(lib.Query("3"));
    EXPECT_TRUE(lib.Eof());
    EXPECT_TRUE(lib.Bof());
    EXPECT_EQ(lib.RecValue(), "a");
    // The candidate string is the caller's own: changing it changes nothing
    // that a later RecValue gives.
    QString value = lib.RecValue();
    value[0] = QLatin1Char('q');
    value += QLatin1Char('r');
    EXPECT_EQ(lib.RecValue(), "a");
    EXPECT_EQ(*lib.RecValue().utf16(), u'a');
    int index = 0;
    EXPECT_EQ(lib.GetWordCode(index), 0);
    EXPECT_FALSE(lib.NextPage());
}

TEST_F(StrokeDictionary, BadFilesGiveAnEmptyOrPartialDictionary)
{
    // 25 bytes: two whole records, the last byte ignored.
    QByteArray bytes = Record("1", u'a') + Record("1", u'b') + QByteArray("\x01", 1);
    CBHWordLib partial(dir.write("bs.dat", bytes));
    partial.OpenFile();
    EXPECT_EQ(partial.RecordCount, 2u);
    EXPECT_EQ(Matches(partial, "1"), "ab");

    for (const QByteArray& content : {QByteArray(), QByteArray(11, '\x01')}) {
        CBHWordLib lib(dir.write("short.dat", content));
        lib.OpenFile();
        EXPECT_EQ(lib.RecordCount, 0u);
        EXPECT_FALSE(lib.Query("7"));
        EXPECT_TRUE(lib.RecValue().isNull());
        EXPECT_FALSE(lib.Next());
        EXPECT_FALSE(lib.NextPage());
    }

    CBHWordLib missing(dir.path("missing.dat"));
    missing.OpenFile();
    EXPECT_FALSE(missing.Query("1"));
    int index = 0;
    EXPECT_EQ(missing.GetWordCode(index), 0);

    // Garbage records (all bits set, stroke digits 7) still only match
    // where the digits say so, and never crash.
    CBHWordLib garbage(dir.write("garbage.dat", QByteArray(12 * 3, '\xff')));
    garbage.OpenFile();
    EXPECT_EQ(Matches(garbage, "7"), QString(3, QChar(0xFFFF)));
    EXPECT_FALSE(garbage.Query("1"));
}

TEST_F(StrokeDictionary, QuerySurvivesHideAndShowOfTheSameFile)
{
    CBHWordLib lib(WriteDictionary(dir, {
        {"1", u'a'}, {"1", u'b'}, {"1", u'c'}, {"2", u'z'}, {"1", u'd'}, {"1", u'e'},
    }));
    lib.PageSize = 2;
    lib.OpenFile();
    ASSERT_TRUE(lib.Query("1"));
    ASSERT_TRUE(lib.NextPage());

    lib.CloseFile();
    EXPECT_TRUE(lib.RecValue().isNull());
    int index = 0;
    EXPECT_EQ(lib.GetWordCode(index), 0);
    EXPECT_FALSE(lib.Next());

    lib.OpenFile();
    EXPECT_EQ(Page(lib), "cd");
    EXPECT_TRUE(lib.NextPage());
    EXPECT_EQ(Page(lib), "e");
    EXPECT_TRUE(lib.PriorPage());
    EXPECT_TRUE(lib.PriorPage());
    EXPECT_EQ(Page(lib), "ab");
    EXPECT_TRUE(lib.Bof());
}

TEST_F(StrokeDictionary, QueryIsDroppedWhenTheFileShrankWhileHidden)
{
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += Record("1", char16_t(u'a' + i));
    const QString name = dir.write("bs.dat", bytes);
    CBHWordLib lib(name);
    lib.PageSize = 5;
    lib.OpenFile();
    ASSERT_TRUE(lib.Query("1"));
    ASSERT_TRUE(lib.NextPage());
    ASSERT_TRUE(lib.NextPage());

    lib.CloseFile();
    dir.write("bs.dat", Record("1", u'x') + Record("2", u'y'));
    lib.OpenFile();
    EXPECT_EQ(lib.RecordCount, 2u);
    EXPECT_TRUE(lib.Eof());
    EXPECT_TRUE(lib.Bof());
    EXPECT_FALSE(lib.NextPage());
    EXPECT_FALSE(lib.PriorPage());
    int index = 0;
    EXPECT_EQ(lib.GetWordCode(index), 0);
    lib.PageFirst();
    EXPECT_EQ(lib.RecValue(), "x");

    EXPECT_TRUE(lib.Query("1"));
    EXPECT_EQ(Page(lib), "x");
}
