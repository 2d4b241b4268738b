#include "CList.h"
#include "CStringList.h"

#include <gtest/gtest.h>

#include <vector>

// Both lists are checked against plain vectors by the string-list fuzz target,
// whose corpus the suite replays; here what that model leaves open: the growth
// rule, and where a sorted list puts a string equal to some it holds.
TEST(List, CapacityFollowsGrowthRule)
{
    CList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(nullptr);
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
}

TEST(StringList, SortedDuplicateGoesBeforeTheEqualEntryTheSearchMeets)
{
    TObject objs[2];
    CStringList list;
    list.SetSorted(true);
    list.SetText("c\na\nb\n");
    list.AddObject("b", &objs[0]);
    list.AddObject("b", &objs[1]); // in front of the middle b, not the first
    EXPECT_EQ(list.IndexOfObject(&objs[1]), 1);
    EXPECT_EQ(list.IndexOfObject(&objs[0]), 2);
    EXPECT_EQ(list.IndexOf("b"), 2);
}
