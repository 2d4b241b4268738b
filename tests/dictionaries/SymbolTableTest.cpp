#include "CSymTable.h"

#include <gtest/gtest.h>

TEST(SymbolTable, ShortShiftedLineIsCompletedFromThePlainOne)
{
    CSymTable t("abc", "A");
    EXPECT_EQ(t.GetWord(0, true), "A");
    EXPECT_EQ(t.GetWord(1, true), "b");
    EXPECT_EQ(t.GetWord(2, true), "c");
    EXPECT_EQ(t.GetWord(0, false), "a");

    CSymTable noShift("abc", "");
    EXPECT_EQ(noShift.ShiftWords, "abc");

    // Wrapping is by the plain length; the extra shifted symbols never show.
    CSymTable longShift("ab", "ABCD");
    EXPECT_EQ(longShift.GetWord(1, true), "B");
    EXPECT_EQ(longShift.GetWord(2, true), "A");
    EXPECT_EQ(longShift.GetWord(-1, true), "B");
}

TEST(SymbolTable, EmptyTableGivesNullEverywhere)
{
    CSymTable t("", "ABC");
    for (int i : {-1, 0, 1, 5})
        for (bool shifted : {false, true})
            EXPECT_TRUE(t.GetWord(i, shifted).isNull());
    t.SetWordIndex(13);
    EXPECT_EQ(t.WordIndex, 13);
}

TEST(SymbolTable, PositionsWrapOnceAroundTheEnds)
{
    CSymTable t("0123456789AB", "");
    EXPECT_EQ(t.GetWord(-1, false), "B");
    EXPECT_EQ(t.GetWord(12, false), "0");
    EXPECT_EQ(t.GetWord(23, false), "B");
    t.SetWordIndex(15);
    EXPECT_EQ(t.WordIndex, 3);
    t.SetWordIndex(-4);
    EXPECT_EQ(t.WordIndex, 8);

    t.PageSize = 10;
    t.Reset();
    EXPECT_EQ(t.WordIndex, 0);
    EXPECT_EQ(t.PageSize, 10);
}

TEST(SymbolTable, PositionStillOutsideAfterOneWrapShowsNothing)
{
    // A table shorter than a page: positions 6..9 of the page stay outside.
    CSymTable t("abc", "ABC");
    for (int i : {6, 9, -4, -100, 1000}) {
        for (bool shifted : {false, true}) {
            const QString w = t.GetWord(i, shifted);
            EXPECT_FALSE(w.isNull()) << i;
            EXPECT_TRUE(w.isEmpty()) << i;
        }
    }
    EXPECT_EQ(t.GetWord(5, false), "c");
}
