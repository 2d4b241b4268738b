#include "CList.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Records every notification and error, so the tests can check what the
// list announces and in which order.
class RecordingList : public CList
{
public:
    ~RecordingList() override { Clear(); }

    void Notify(void* item, TListNotification action) override { notes.emplace_back(item, action); }
    void Error(const char* message, int data) override
    {
        EXPECT_EQ(message, nullptr);
        errors.push_back(data);
    }

    std::vector<void*> Entries()
    {
        std::vector<void*> out;
        for (int i = 0; i < Count(); ++i)
            out.push_back(ItemList[i]);
        return out;
    }

    std::vector<std::pair<void*, TListNotification>> notes;
    std::vector<int> errors;
};

// A list whose Grow has no effect, standing in for one at the largest size.
class FullList : public RecordingList
{
public:
    void Grow() override { }
};

struct ListTest : ::testing::Test {
    int a = 0, b = 0, c = 0, x = 0;
    void* pa = &a;
    void* pb = &b;
    void* pc = &c;
    void* px = &x;
    RecordingList list;

    void FillAbc()
    {
        list.Add(pa);
        list.Add(pb);
        list.Add(pc);
        list.notes.clear();
    }
};

using Notes = std::vector<std::pair<void*, TListNotification>>;
using Items = std::vector<void*>;

} // namespace

TEST_F(ListTest, CapacityFollowsGrowthRuleAndAFullListRefusesInsertion)
{
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(nullptr);
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_TRUE(list.errors.empty());

    FullList full;
    full.SetCapacity(2);
    EXPECT_EQ(full.Add(pa), 0);
    EXPECT_EQ(full.Add(pb), 1);
    EXPECT_EQ(full.Add(pc), -1);
    full.Insert(0, pc);
    EXPECT_EQ(full.errors, (std::vector<int>{3, 3}));
    EXPECT_EQ(full.Entries(), (Items{pa, pb}));
    EXPECT_EQ(full.notes, (Notes{{pa, ListAdded}, {pb, ListAdded}}));
}

TEST_F(ListTest, AnnouncesEntriesInOrderAndNeverNull)
{
    EXPECT_EQ(list.Add(pa), 0);
    EXPECT_EQ(list.Add(nullptr), 1);
    list.Insert(0, pb);
    list.Insert(1, nullptr);
    EXPECT_EQ(list.Entries(), (Items{pb, nullptr, pa, nullptr}));
    EXPECT_EQ(list.notes, (Notes{{pa, ListAdded}, {pb, ListAdded}}));

    list.notes.clear();
    list.Put(0, px); // b leaves before x is announced
    list.Put(1, pc);
    list.Put(2, nullptr);
    EXPECT_EQ(list.notes, (Notes{{pb, ListDeleted}, {px, ListAdded}, {pc, ListAdded}, {pa, ListDeleted}}));

    list.notes.clear();
    list.Clear(); // x, c, null, null: last first, nulls silent
    EXPECT_EQ(list.notes, (Notes{{pc, ListDeleted}, {px, ListDeleted}}));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListTest, DeleteRemoveAndExtract)
{
    FillAbc();
    list.Delete(0);
    EXPECT_EQ(list.Entries(), (Items{pb, pc}));
    EXPECT_EQ(list.notes, (Notes{{pa, ListDeleted}}));

    FillAbc(); // b, c, a, b, c
    EXPECT_EQ(list.IndexOf(pb), 0);
    EXPECT_EQ(list.Extract(pb), pb);
    EXPECT_EQ(list.Entries(), (Items{pc, pa, pb, pc}));
    EXPECT_EQ(list.notes, (Notes{{pb, ListExtracted}}));

    list.notes.clear();
    EXPECT_EQ(list.Remove(pa), 1);
    EXPECT_EQ(list.Remove(px), -1);
    EXPECT_EQ(list.Extract(px), nullptr);
    EXPECT_EQ(list.Entries(), (Items{pc, pb, pc}));
    EXPECT_EQ(list.notes, (Notes{{pa, ListDeleted}}));
    EXPECT_TRUE(list.errors.empty());
}

TEST_F(ListTest, RearrangingIsSilentAndSetCountDeletesFromTheEnd)
{
    FillAbc();
    list.Move(0, 2);
    EXPECT_EQ(list.Entries(), (Items{pb, pc, pa}));
    list.Move(2, 0);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Entries(), (Items{pc, pb, pa}));
    list.SetCount(6);
    list.Put(4, px);
    list.Pack();
    EXPECT_EQ(list.Entries(), (Items{pc, pb, pa, px}));
    EXPECT_EQ(list.notes, (Notes{{px, ListAdded}}));

    list.notes.clear();
    list.Put(1, nullptr);
    list.SetCount(1);
    EXPECT_EQ(list.Entries(), (Items{pc}));
    EXPECT_EQ(list.notes, (Notes{{pb, ListDeleted}, {px, ListDeleted}, {pa, ListDeleted}}));
}

TEST_F(ListTest, BadIndicesAndSizesChangeNothing)
{
    FillAbc();
    const int capacity = list.Capacity();
    EXPECT_EQ(list.Items(-1), nullptr);
    EXPECT_EQ(list.Items(3), nullptr);
    list.Put(3, px);
    list.Insert(4, px);
    list.Insert(-1, px);
    list.Delete(3);
    list.Exchange(5, 0);
    list.Exchange(0, -2);
    list.Move(0, 3);
    list.Move(7, 1);
    list.SetCapacity(2);
    list.SetCapacity(MaxListSize + 1);
    list.SetCount(-1);
    list.SetCount(MaxListSize + 1);
    EXPECT_EQ(list.errors, (std::vector<int>{-1, 3, 3, 4, -1, 3, 5, -2, 3, 7, 2, MaxListSize + 1, -1,
                                             MaxListSize + 1}));
    EXPECT_EQ(list.Entries(), (Items{pa, pb, pc}));
    EXPECT_EQ(list.Capacity(), capacity);
    EXPECT_TRUE(list.notes.empty());

    list.Insert(3, px); // the end itself is a valid place
    EXPECT_EQ(list.Last(), px);

    RecordingList empty;
    EXPECT_EQ(empty.First(), nullptr);
    EXPECT_EQ(empty.Last(), nullptr);
    EXPECT_EQ(empty.errors, (std::vector<int>{0, -1}));
}

TEST_F(ListTest, SortUsesTheComparisonAndNoneLeavesTheOrder)
{
    std::vector<int> values = {3, -2, 7, 0, 5};
    for (int& v : values)
        list.Add(&v);
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(list.Entries(), (Items{&values[1], &values[3], &values[0], &values[4], &values[2]}));
    const Items sorted = list.Entries();
    list.Sort(nullptr);
    EXPECT_EQ(list.Entries(), sorted);
}
