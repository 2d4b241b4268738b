// The string list loaded from arbitrary file bytes, then edited, sorted,
// searched, copied and saved, checked against a plain vector of (string,
// object) pairs: contents, objects of freed entries, sorted order and search
// results. The same bytes edit a pointer list, checked against a plain vector
// with the notifications and errors every operation must give.

#include "CList.h"
#include "CStringList.h"
#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

using Entry = std::pair<QString, TObject*>;
using Entries = std::vector<Entry>;

TObject Objs[4];

// Short strings from a small alphabet, so that duplicates, line breaks and
// characters beyond Latin-1 are common; and an object or null.
Entry consumeEntry(FuzzedDataProvider& in)
{
    static const char16_t alphabet[] = u"ab\r\n\xe9\x4e00";
    QString s;
    for (int i = in.ConsumeIntegralInRange(0, 4); i > 0; --i)
        s += QChar(alphabet[in.ConsumeIntegralInRange(0, 5)]);
    const int object = in.ConsumeIntegralInRange(0, 4);
    return {s, object < 4 ? &Objs[object] : nullptr};
}

const auto before = [](const Entry& a, const Entry& b) { return QString::compare(a.first, b.first) < 0; };

// The lines SetText makes: CR LF, CR and LF each end one, and a break at the
// very end adds no empty line.
Entries lines(const QString& text)
{
    Entries out;
    for (const QString& s : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        out.emplace_back(s, nullptr);
    if (out.back().first.isEmpty())
        out.pop_back();
    return out;
}

// A string list that records the object of every entry it frees, with the
// count the list then has.
struct StringList : CStringList {
    ~StringList() override { Clear(); }
    void DoDeleteNotify(TObject* object) override { freed.emplace_back(object, Count()); }
    Entries contents() const
    {
        Entries out;
        for (int i = 0; i < Count(); ++i)
            out.emplace_back(Get(i), Objects(i));
        return out;
    }
    std::vector<std::pair<TObject*, int>> freed;
};

// After an operation whose order among equal strings is the list's own (a
// sort, or insertions by search): the list must hold the model's entries;
// the model takes the list's order.
void adopt(const StringList& list, Entries& model)
{
    Entries now = list.contents(), a = now;
    std::sort(a.begin(), a.end());
    std::sort(model.begin(), model.end());
    FUZZ_CHECK(a == model, "the list lost or gained entries");
    model = now;
}

// Moves entry at to to, as both lists' Move must.
template <typename T>
void move(std::vector<T>& v, int at, int to)
{
    at < to ? std::rotate(v.begin() + at, v.begin() + at + 1, v.begin() + to + 1)
            : std::rotate(v.begin() + to, v.begin() + at, v.begin() + at + 1);
}

// Records what the pointer list announces and what it reports as bad. While
// full it cannot grow, as a list at its largest size.
struct RecordingList : CList {
    ~RecordingList() override { Clear(); }
    void Grow() override
    {
        if (!full)
            CList::Grow();
    }
    bool full = false;
    void Notify(void* item, TListNotification action) override { notes.emplace_back(item, action); }
    void Error(const char*, int data) override { errors.push_back(data); }
    std::vector<std::pair<void*, TListNotification>> notes;
    std::vector<int> errors;
};

// Null entries sort first; distinct entries never compare equal.
const auto objectKey = [](void* p) { return p ? int(static_cast<TObject*>(p) - Objs) : -1; };

// One operation on the pointer list with p, with what it must do: the entries
// in model, the notifications and errors appended to expected's. A null p
// cannot grow the list; the largest size asked is MaxListSize + 1.
void pointerListStep(FuzzedDataProvider& in, int op, void* p, RecordingList& list, std::vector<void*>& model,
                     RecordingList& expected)
{
    const int count = int(model.size());
    const int at = in.ConsumeIntegralInRange(-1, count + 1), to = in.ConsumeIntegralInRange(-3, count + 6);
    const int size = to == count + 6 ? MaxListSize + 1 : to;
    list.full = !p;
    const bool full = list.full && count == list.Capacity();
    const auto found = std::find(model.begin(), model.end(), p);
    const int foundAt = found == model.end() ? -1 : int(found - model.begin());
    const auto valid = [&](int i) { return (i >= 0 && i < count) || (expected.errors.push_back(i), false); };
    const auto note = [&](void* q, TListNotification action) {
        if (q)
            expected.notes.emplace_back(q, action);
    };
    switch (op) {
    case 0:
        FUZZ_CHECK(list.Add(p) == (full ? -1 : count), "Add index");
        if (full)
            expected.errors.push_back(count + 1);
        else
            model.push_back(p), note(p, ListAdded);
        break;
    case 1:
        list.Insert(at, p);
        if (at < 0 || at > count || full)
            expected.errors.push_back(at < 0 || at > count ? at : count + 1);
        else
            model.insert(model.begin() + at, p), note(p, ListAdded);
        break;
    case 2:
        list.Delete(at);
        if (valid(at))
            note(model[at], ListDeleted), model.erase(model.begin() + at);
        break;
    case 3:
        list.Put(at, p);
        if (valid(at))
            note(model[at], ListDeleted), note(p, ListAdded), model[at] = p;
        break;
    case 4:
        list.Exchange(at, to);
        if (valid(at) && valid(to))
            std::swap(model[at], model[to]);
        break;
    case 5:
        list.Move(at, to);
        if (at != to && valid(to) && valid(at))
            move(model, at, to);
        break;
    case 6:
    case 7:
        FUZZ_CHECK(op == 6 ? list.Remove(p) == foundAt : list.Extract(p) == (foundAt < 0 ? nullptr : p),
                   "Remove and Extract results");
        if (foundAt >= 0)
            note(p, op == 6 ? ListDeleted : ListExtracted), model.erase(found);
        break;
    case 8:
    case 11: { // Clear also frees the array
        const int n = op == 8 ? size : 0;
        const bool bad = n < 0 || n > MaxListSize;
        op == 8 ? list.SetCount(n) : list.Clear();
        if (bad)
            expected.errors.push_back(n);
        for (int i = count - 1; !bad && i >= n; --i)
            note(model[i], ListDeleted);
        model.resize(size_t(bad ? count : n), nullptr);
        FUZZ_CHECK(op == 8 || list.Capacity() == 0, "Clear");
        break;
    }
    case 9:
        list.SetCapacity(size);
        if (size < count || size > MaxListSize)
            expected.errors.push_back(size);
        FUZZ_CHECK(size < count || size > MaxListSize || list.Capacity() == size, "SetCapacity");
        break;
    case 10:
        list.Pack();
        model.erase(std::remove(model.begin(), model.end(), nullptr), model.end());
        break;
    case 12:
        list.Sort([](void* a, void* b) { return objectKey(a) - objectKey(b); });
        std::sort(model.begin(), model.end(), [](void* a, void* b) { return objectKey(a) < objectKey(b); });
        break;
    case 13: {
        void* const read = at == 0 ? list.First() : at == count - 1 ? list.Last() : list.Items(at);
        FUZZ_CHECK(read == (valid(at) ? model[at] : nullptr), "Items");
        break;
    }
    }
    FUZZ_CHECK(list.Count() == int(model.size()) && list.Count() <= list.Capacity(), "Count");
    for (int i = 0; i < list.Count(); ++i)
        FUZZ_CHECK(list.Items(i) == model[size_t(i)], "pointer list entries");
    FUZZ_CHECK(list.notes == expected.notes, "notifications");
    FUZZ_CHECK(list.errors == expected.errors, "errors");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    StringList list;
    Entries model;
    std::vector<std::pair<TObject*, int>> freed;
    const auto replace = [&](const Entries& by) {
        for (const Entry& e : model)
            freed.emplace_back(e.second, 0);
        model = by;
    };
    // Exchange may leave a sorted list out of order; searches and the order
    // check are only meaningful until then.
    bool inOrder = true;
    RecordingList pointers, expected;
    std::vector<void*> pointerModel;

    const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 8192));
    list.LoadFromFile(FuzzWrite(QStringLiteral("list.txt"), QByteArray(bytes.data(), qsizetype(bytes.size()))));
    model = lines(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));

    for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
        const int count = list.Count(), capacity = list.Capacity();
        const bool sorted = list.IsSorted();
        const auto valid = [&](int i) { return i >= 0 && i < count; };
        const int op = in.ConsumeIntegralInRange(0, 25);
        const int at = in.ConsumeIntegralInRange(-1, count + 1), to = in.ConsumeIntegralInRange(-1, count + 1);
        const Entry e = consumeEntry(in);
        if (op >= 12) {
            pointerListStep(in, op - 12, e.second, pointers, pointerModel, expected);
            continue;
        }
        switch (op) {
        case 0: // turning sorted mode on sorts the list
            list.SetSorted(in.ConsumeBool());
            if (list.IsSorted() && !sorted)
                adopt(list, model), inOrder = true;
            break;
        case 1: {
            const int added = list.AddObject(e.first, e.second);
            FUZZ_CHECK(sorted ? added >= 0 && added <= count : added == count, "Add position");
            model.insert(model.begin() + added, e);
            break;
        }
        case 2: // sorted mode refuses every placement at a chosen index
            list.InsertObject(at, e.first, e.second);
            if (!sorted && at >= 0 && at <= count)
                model.insert(model.begin() + at, e);
            break;
        case 3:
            list.Delete(at);
            if (valid(at))
                freed.emplace_back(model[at].second, count - 1), model.erase(model.begin() + at);
            break;
        case 4:
            list.Exchange(at, to);
            if (valid(at) && valid(to)) {
                inOrder = inOrder && model[at].first == model[to].first;
                std::swap(model[at], model[to]);
            }
            break;
        case 5:
            list.Move(at, to);
            if (!sorted && at != to && valid(at) && valid(to))
                move(model, at, to);
            break;
        case 6:
            list.Put(at, e.first);
            list.PutObject(to, e.second);
            if (!sorted && valid(at))
                model[at].first = e.first;
            if (valid(to))
                model[to].second = e.second;
            break;
        case 7: {
            int firstString = -1, firstObject = -1;
            for (int i = count - 1; i >= 0; --i) {
                firstString = model[i].first == e.first ? i : firstString;
                firstObject = model[i].second == e.second ? i : firstObject;
            }
            const int found = list.IndexOf(e.first);
            FUZZ_CHECK(sorted ? !inOrder || (found < 0 ? firstString < 0 : model[found].first == e.first) : found == firstString,
                       "IndexOf");
            FUZZ_CHECK(list.IndexOfObject(e.second) == firstObject, "IndexOfObject");
            FUZZ_CHECK(valid(at) || (list.Get(at).isNull() && !list.Objects(at)), "Get and Objects outside the list");
            break;
        }
        case 8: {
            const bool reversed = in.ConsumeBool();
            reversed ? list.CustomSort([](CStringList&, TStringItem* x, TStringItem* y) { return QString::compare(*y->String, *x->String); })
                     : list.Sort();
            if (!sorted) { // a sorted list's order is fixed
                adopt(list, model);
                FUZZ_CHECK(reversed ? std::is_sorted(model.rbegin(), model.rend(), before)
                                    : std::is_sorted(model.begin(), model.end(), before),
                           "Sort leaves the list out of order");
            }
            break;
        }
        case 9: {
            const QString text = QString::fromStdString(in.ConsumeRandomLengthString(256));
            e.second ? list.SetText(text) : list.Clear();
            replace(e.second ? lines(text) : Entries());
            if (sorted)
                std::stable_sort(model.begin(), model.end(), before), inOrder = true;
            FUZZ_CHECK(e.second || list.Capacity() == (count ? 0 : capacity), "Clear frees the array of a list with entries");
            const int now = list.Capacity();
            list.SetCapacity(to + 4); // never below the count
            FUZZ_CHECK(list.Capacity() == (to + 4 < int(model.size()) ? now : to + 4), "SetCapacity");
            break;
        }
        case 10: { // copies of another list or of itself
            StringList other;
            for (int i = in.ConsumeIntegralInRange(0, 3); i > 0; --i)
                other.AddObject(consumeEntry(in).first, e.second);
            const CStringList& source = e.second == Objs ? static_cast<CStringList&>(list) : other;
            const Entries copied = &source == &list ? model : other.contents();
            FUZZ_CHECK(list.Equals(source) == std::equal(model.begin(), model.end(), copied.begin(), copied.end(),
                                                         [](const Entry& a, const Entry& b) { return a.first == b.first; }),
                       "Equals");
            if (in.ConsumeBool()) {
                list.AddStrings(source);
                model.insert(model.end(), copied.begin(), copied.end());
            } else {
                list.Assign(source);
                if (&source != &list)
                    replace(copied), inOrder = true;
            }
            if (sorted)
                adopt(list, model);
            break;
        }
        case 11: { // saved as Latin-1 text; loading an empty file or a folder changes nothing
            QString text;
            for (const Entry& m : model)
                text += m.first + QLatin1Char('\n');
            FUZZ_CHECK(list.Text() == text, "Text");
            list.SaveToFile(FuzzDir() + QStringLiteral("saved.txt"));
            StringList other;
            other.Add(e.first);
            other.LoadFromFile(FuzzDir() + (e.second ? QStringLiteral("saved.txt") : QString()));
            FUZZ_CHECK(other.contents() == (!e.second || text.isEmpty() ? Entries{{e.first, nullptr}} : lines(QString::fromLatin1(text.toLatin1()))),
                       "a saved list loaded back");
            break;
        }
        }
        FUZZ_CHECK(list.contents() == model, "contents");
        FUZZ_CHECK(list.freed == freed, "objects of freed entries");
        FUZZ_CHECK(list.Count() <= list.Capacity(), "Capacity below Count");
        FUZZ_CHECK(!list.IsSorted() || !inOrder || std::is_sorted(model.begin(), model.end(), before),
                   "a sorted list out of order");
    }
    return 0;
}
