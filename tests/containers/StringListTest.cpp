#include "CStringList.h"
#include "TestFiles.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

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

// SetText splits on CR LF, CR and LF; Text joins with LF after every string.
TEST(StringList, SplitsOnCrLfCrAndLfAndJoinsWithLf)
{
    const struct {
        const char* text;
        QStringList lines;
        const char* joined;
    } cases[] = {
        {"x\r\ny\rz\n", {"x", "y", "z"}, "x\ny\nz\n"},
        {"x\n\ry", {"x", "", "y"}, "x\n\ny\n"}, // LF CR ends two lines
        {"x\r\n\r\ny", {"x", "", "y"}, "x\n\ny\n"},
        {"a\r", {"a"}, "a\n"},                   // a final break adds no empty line
        {"\n", {""}, "\n"},
        {"\r\n", {""}, "\n"},
        {"no break", {"no break"}, "no break\n"},
        {"", {}, ""},
    };
    for (const auto& c : cases) {
        CStringList list;
        Make(list, {"old"});
        list.SetText(QString::fromLatin1(c.text));
        EXPECT_EQ(Strings(list), c.lines) << c.text;
        EXPECT_EQ(list.Text(), QString::fromLatin1(c.joined));
    }
}

// Order, searches and bad indices of the strings themselves are checked
// against a plain list by the string-list fuzz target, whose corpus the
// suite replays; these tests cover what that model does not see.
TEST(StringList, SortedDuplicatesGoBeforeTheEqualEntryTheSearchMeets)
{
    CStringList list;
    list.SetSorted(true);
    Make(list, {"c", "a", "b"});
    list.AddObject("b", &objs[1]);
    list.AddObject("b", &objs[2]); // in front of the middle b, not the first
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "b", "b", "c"}));
    EXPECT_EQ(list.Objects(1), &objs[2]);
    EXPECT_EQ(list.Objects(2), &objs[1]);
    EXPECT_EQ(list.IndexOf("b"), 2);
}

TEST(StringList, SortedModeRefusesPlacementButKeepsEveryEntry)
{
    CStringList list;
    Make(list, {"b", "a", "c"});
    list.PutObject(0, &objs[0]);
    list.SetSorted(true);
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.Objects(1), &objs[0]);

    list.InsertObject(0, "z", &objs[3]);
    list.CustomSort([](CStringList&, TStringItem* x, TStringItem* y) { return -QString::compare(*x->String, *y->String); });
    EXPECT_EQ(Strings(list), (QStringList{"a", "b", "c"}));
    // A refused insertion hands its object to no other entry.
    EXPECT_EQ(list.IndexOfObject(&objs[3]), -1);
}

// The growth rule itself is the pointer list's, which shares it.
TEST(StringList, CapacityNeverDropsBelowTheCountAndClearFreesIt)
{
    CStringList list;
    Make(list, {"a", "b", "c", "d", "e"});
    list.SetCapacity(4);
    EXPECT_EQ(list.Capacity(), 8);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(StringList, BadIndicesReadAndPlaceNoObject)
{
    CStringList list;
    Make(list, {"a", "b", "c"});
    list.PutObject(1, &objs[1]);
    list.PutObject(-1, &objs[0]);
    list.PutObject(3, &objs[0]);
    EXPECT_TRUE(list.Get(3).isNull() && list.Get(-1).isNull());
    EXPECT_EQ(list.Objects(3), nullptr);
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

