#include "CStringList.h"
#include "TestFiles.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <vector>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QStringList Strings(const CStrings& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Get(i);
    return out;
}

CStringList* Make(CStringList& list, const QStringList& strings)
{
    for (const QString& s : strings)
        list.Add(s);
    return &list;
}

// Hears of every object whose entry is freed.
class NotifyingList : public CStringList
{
public:
    ~NotifyingList() override { Clear(); }
    void DoDeleteNotify(TObject* object) override
    {
        freed.push_back(object);
        counts.push_back(Count()); // the entry is already uncounted
    }
    std::vector<TObject*> freed;
    std::vector<int> counts;
};

TObject objs[4];

} // namespace

TEST(StringList, JoinsEveryStringWithLf)
{
    CStringList list;
    EXPECT_EQ(list.Text(), QString());
    Make(list, {"a", "", "b"});
    EXPECT_EQ(list.Text(), QStringLiteral("a\n\nb\n"));
    CStringList again;
    again.SetText(list.Text());
    EXPECT_EQ(Strings(again), (QStringList{"a", "", "b"}));
}

TEST(StringList, SplitsOnCrLfCrAndLf)
{
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"x\r\ny\rz\n", {"x", "y", "z"}},
        {"x\n\ry", {"x", "", "y"}},  // LF CR ends two lines
        {"x\r\n\r\ny", {"x", "", "y"}},
        {"a\r", {"a"}},             // a final break adds no empty line
        {"\n", {""}},
        {"\r\n", {""}},
        {"no break", {"no break"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        CStringList list;
        Make(list, {"old"});
        list.SetText(QString::fromLatin1(c.text));
        EXPECT_EQ(Strings(list), c.lines) << c.text;
    }
}

TEST(StringList, SortedModeInsertsInOrderAndFindsByHalves)
{
    CStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("c"), 0);
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("b"), 1);
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));

    int index = -1;
    EXPECT_TRUE(list.Find("b", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("bb", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("d", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(list.IndexOf("c"), 2);
    EXPECT_EQ(list.IndexOf("B"), -1); // case matters

    // A duplicate goes in front of the equal entry the search meets, which
    // in a run of equals need not be the first of them.
    list.AddObject("b", &objs[1]);
    list.AddObject("b", &objs[2]);
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "b", "b", "c"}));
    EXPECT_EQ(list.Objects(1), &objs[2]);
    EXPECT_EQ(list.Objects(2), &objs[1]);
    EXPECT_EQ(list.IndexOf("b"), 2);
    EXPECT_EQ(list.IndexOf("bb"), -1);
}

TEST(StringList, SortedModeRefusesPlacementButKeepsEveryEntry)
{
    CStringList list;
    Make(list, {"b", "a", "c"});
    list.PutObject(0, &objs[0]);
    list.SetSorted(true);
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.Objects(1), &objs[0]);

    list.Insert(0, "z");
    list.Put(0, "z");
    list.Move(0, 2);
    list.InsertObject(0, "z", &objs[3]);
    list.CustomSort([](CStringList&, TStringItem* x, TStringItem* y) { return -QString::compare(*x->String, *y->String); });
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));
    // A refused insertion hands its object to no other entry.
    EXPECT_EQ(list.IndexOfObject(&objs[3]), -1);

    list.SetSorted(false);
    list.Insert(0, "z");
    EXPECT_EQ(Strings(list), (QStringList{"z", "a", "b", "c"}));
}

TEST(StringList, SortsWithAnyComparisonWithoutLosingEntries)
{
    std::mt19937 random(11);
    QStringList strings;
    for (int i = 0; i < 500; ++i)
        strings << QString::number(random() % 60);
    CStringList list;
    Make(list, strings);
    list.Sort();
    QStringList expected = strings;
    std::sort(expected.begin(), expected.end()); // QString's < is QString::compare
    EXPECT_EQ(Strings(list), expected);

    // No order at all: must stay within the array and keep every string.
    list.CustomSort([](CStringList&, TStringItem*, TStringItem*) { return -1; });
    list.CustomSort([](CStringList&, TStringItem*, TStringItem*) { return 1; });
    QStringList after = Strings(list);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, expected);
}

TEST(StringList, CapacityFollowsGrowthRuleAndClearFreesIt)
{
    CStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 13; ++i) {
        list.Add(QString::number(i));
        capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 28}));
    list.SetCapacity(12); // below the count: refused
    EXPECT_EQ(list.Capacity(), 28);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);

    list.Add("a");
    list.Delete(0);
    list.Clear(); // already empty: keeps its array
    EXPECT_EQ(list.Capacity(), 4);
}

TEST(StringList, BadIndicesChangeNothing)
{
    CStringList list;
    Make(list, {"a", "b", "c"});
    list.PutObject(1, &objs[1]);
    EXPECT_TRUE(list.Get(3).isNull());
    EXPECT_TRUE(list.Get(-1).isNull());
    EXPECT_EQ(list.Objects(3), nullptr);
    list.Put(3, "x");
    list.PutObject(-1, &objs[0]);
    list.Delete(3);
    list.Exchange(0, 3);
    list.Insert(4, "x");
    list.Insert(-1, "x");
    list.Move(0, 3);
    list.Move(-1, 0);
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.IndexOfObject(&objs[1]), 1);
    EXPECT_EQ(list.IndexOfObject(&objs[0]), -1);
}

TEST(StringList, MoveExchangeAndPutKeepObjects)
{
    NotifyingList list;
    Make(list, {"a", "b", "c"});
    for (int i = 0; i < 3; ++i)
        list.PutObject(i, &objs[i]);
    list.Move(0, 2);
    EXPECT_EQ(Strings(list), (QStringList{"b", "c", "a"}));
    list.Move(2, 0);
    list.Exchange(0, 2);
    list.Put(1, "B");
    EXPECT_EQ(Strings(list), (QStringList{"c", "B", "a"}));
    EXPECT_EQ(list.Objects(0), &objs[2]);
    EXPECT_EQ(list.Objects(1), &objs[1]);
    EXPECT_EQ(list.Objects(2), &objs[0]);
    EXPECT_TRUE(list.freed.empty());

    list.Delete(1);
    list.Clear();
    EXPECT_EQ(list.freed, (std::vector<TObject*>{&objs[1], &objs[2], &objs[0]}));
    EXPECT_EQ(list.counts, (std::vector<int>{2, 0, 0}));
}

TEST(StringList, AddStringsAssignAndEquals)
{
    CStringList source;
    Make(source, {"b", "a", "c"});
    for (int i = 0; i < 3; ++i)
        source.PutObject(i, &objs[i]);

    CStringList target;
    target.Add("x");
    target.AddStrings(source);
    EXPECT_EQ(Strings(target), (QStringList{"x", "b", "a", "c"}));
    EXPECT_EQ(target.Objects(3), &objs[2]);
    EXPECT_FALSE(target.Equals(source));

    target.Assign(source);
    EXPECT_TRUE(target.Equals(source));
    EXPECT_EQ(target.Objects(0), &objs[0]);
    target.Put(0, "B");
    EXPECT_FALSE(target.Equals(source));

    // Onto itself: Assign keeps the list, AddStrings doubles it once.
    source.Assign(source);
    EXPECT_EQ(Strings(source), (QStringList{"b", "a", "c"}));
    source.SetSorted(true);
    source.AddStrings(source);
    EXPECT_EQ(Strings(source), (QStringList{"a", "a", "b", "b", "c", "c"}));
    EXPECT_EQ(source.IndexOfObject(&objs[2]), 4);
}

TEST(StringList, FileRoundTrip)
{
    TestDir dir;
    CStringList list;
    Make(list, {"first", "", QString::fromLatin1("caf\xe9"), "last"});
    list.SaveToFile(dir.path("list.txt"));
    EXPECT_EQ(dir.read("list.txt"), QByteArray("first\n\ncaf\xe9\nlast\n"));

    CStringList loaded;
    loaded.LoadFromFile(dir.path("list.txt"));
    EXPECT_TRUE(loaded.Equals(list));

    loaded.LoadFromFile(dir.write("dos.txt", "one\r\ntwo\r\n"));
    EXPECT_EQ(Strings(loaded), (QStringList{"one", "two"}));

    // Nothing to map: the list stays as it was.
    loaded.LoadFromFile(dir.write("empty.txt", QByteArray()));
    loaded.LoadFromFile(dir.path("missing.txt"));
    loaded.LoadFromFile(dir.dir());
    EXPECT_EQ(Strings(loaded), (QStringList{"one", "two"}));

    // Saving over a directory or into a missing one writes nothing.
    loaded.SaveToFile(dir.dir());
    loaded.SaveToFile(dir.path("none/list.txt"));
    EXPECT_FALSE(QFile::exists(dir.path("none/list.txt")));

    CStringList empty;
    empty.SaveToFile(dir.path("list.txt"));
    EXPECT_EQ(dir.read("list.txt"), QByteArray());
}

TEST(StringList, DestructorFreesEveryEntry)
{
    // Run under the leak checker: every string must be gone afterwards.
    auto* list = new CStringList;
    for (int i = 0; i < 1000; ++i)
        list->AddObject(QString(40, QChar(u'a' + i % 26)), &objs[i % 4]);
    list->SetSorted(true);
    delete list;
}
