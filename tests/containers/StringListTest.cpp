#include "CStringList.h"

#include <gtest/gtest.h>

// Edits, objects, sorting, searches, copies, text and files are checked
// against a plain vector by the string-list fuzz target, whose corpus the
// suite replays; here the one place that model leaves to the list: where a
// sorted list puts a string equal to some it holds.
TEST(StringList, SortedDuplicateGoesBeforeTheEqualEntryTheSearchMeets)
{
    TObject objs[2];
    CStringList list;
    list.SetSorted(true);
    for (const char* s : {"c", "a", "b"})
        list.Add(s);
    list.AddObject("b", &objs[0]);
    list.AddObject("b", &objs[1]); // in front of the middle b, not the first
    EXPECT_EQ(list.Text(), "a\nb\nb\nb\nc\n");
    EXPECT_EQ(list.IndexOfObject(&objs[1]), 1);
    EXPECT_EQ(list.IndexOfObject(&objs[0]), 2);
    EXPECT_EQ(list.IndexOf("b"), 2);
}
