#include "CList.h"
#include "CStringList.h"

#include <gtest/gtest.h>

#include <vector>

// Both lists are checked against plain vectors by the string-list fuzz target,
// whose corpus the suite replays; here what that model leaves open: the growth
// rule, a list that cannot grow or is at its largest, and where a sorted list
// puts a string equal to some it holds.
TEST(List, CapacityFollowsGrowthRuleAndAFullListRefusesInsertion)
{
    CList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(nullptr);
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));

    // A list whose Grow has no effect, standing in for one at the largest size.
    struct FullList : CList {
        ~FullList() override { Clear(); }
        void Grow() override { }
        void Notify(void* item, TListNotification) override { added.push_back(item); }
        void Error(const char*, int data) override { errors.push_back(data); }
        std::vector<void*> added;
        std::vector<int> errors;
    } full;
    int a = 0, b = 0;
    full.SetCapacity(2);
    EXPECT_EQ(full.Add(&a), 0);
    EXPECT_EQ(full.Add(&b), 1);
    EXPECT_EQ(full.Add(&a), -1);
    full.Insert(0, &b);
    full.SetCapacity(MaxListSize + 1);
    full.SetCount(MaxListSize + 1);
    EXPECT_EQ(full.errors, (std::vector<int>{3, 3, MaxListSize + 1, MaxListSize + 1}));
    EXPECT_EQ(full.added, (std::vector<void*>{&a, &b}));
    EXPECT_EQ(full.Count(), 2);
}

TEST(StringList, SortedDuplicateGoesBeforeTheEqualEntryTheSearchMeets)
{
    TObject objs[2];
    CStringList list;
    list.SetSorted(true);
    list.SetText("c\na\nb\n");
    list.AddObject("b", &objs[0]);
    list.AddObject("b", &objs[1]); // in front of the middle b, not the first
    EXPECT_EQ(list.Text(), "a\nb\nb\nb\nc\n");
    EXPECT_EQ(list.IndexOfObject(&objs[1]), 1);
    EXPECT_EQ(list.IndexOfObject(&objs[0]), 2);
    EXPECT_EQ(list.IndexOf("b"), 2);
}
