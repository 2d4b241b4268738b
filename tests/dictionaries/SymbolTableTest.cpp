#include "CSymTable.h"

#include <gtest/gtest.h>

TEST(SymbolTable, WrapsOnceAroundTheEndsAndCompletesTheShiftedLine)
{
    // A short shifted line is completed from the plain one; wrapping is by
    // the plain length and once only: a position still outside shows nothing
    // (empty), and an empty table gives null everywhere.
    const char* const twelve = "0123456789AB";
    const struct {
        const char *Plain, *Shift;
        int Index;
        bool Shifted;
        const char* Word;
    } cases[] = {
        {"abc", "A", 0, true, "A"},      {"abc", "A", 2, true, "c"},      {"abc", "A", 0, false, "a"},
        {"abc", "", 1, true, "b"},       {"ab", "ABCD", 1, true, "B"},    {"ab", "ABCD", 2, true, "A"},
        {"ab", "ABCD", -1, true, "B"},   {"ab", "ABCD", 5, true, ""},     {twelve, "", -1, false, "B"},
        {twelve, "", 12, false, "0"},    {twelve, "", 23, false, "B"},    {"abc", "ABC", 5, false, "c"},
        {"abc", "ABC", 6, true, ""},     {"abc", "ABC", 9, false, ""},    {"abc", "ABC", -4, true, ""},
        {"", "ABC", 0, true, nullptr},   {"", "ABC", -1, false, nullptr},
    };
    for (const auto& c : cases) {
        CSymTable t(c.Plain, c.Shift);
        const QString word = t.GetWord(c.Index, c.Shifted);
        EXPECT_EQ(word.isNull(), !c.Word) << c.Plain << " at " << c.Index;
        EXPECT_EQ(word, QString(c.Word)) << c.Plain << " at " << c.Index << (c.Shifted ? " shifted" : "");
    }

    const struct {
        const char* Plain;
        int Index, Kept;
    } positions[] = {{twelve, 15, 3}, {twelve, -4, 8}, {"", 13, 13}};
    for (const auto& p : positions) {
        CSymTable t(p.Plain, "");
        t.PageSize = 7;
        t.SetWordIndex(p.Index);
        EXPECT_EQ(t.WordIndex, p.Kept) << p.Index;
        t.Reset();
        EXPECT_EQ(t.WordIndex, 0);
        EXPECT_EQ(t.PageSize, 7);
    }
}
