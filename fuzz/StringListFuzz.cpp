// The string list loaded from arbitrary text (SetText) and arbitrary file
// bytes (LoadFromFile), then edited, sorted, searched and written back in
// both modes. Checked inside against a plain list of the same strings: the
// contents, the order a sorted list keeps, and what searches find. The same
// bytes also edit a pointer list, checked against a plain vector with the
// notifications and errors every operation must give.

#include "CList.h"
#include "CStringList.h"
#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

QString consumeText(FuzzedDataProvider& in, size_t maxBytes)
{
    // Any 16-bit units, unpaired surrogates included.
    const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, maxBytes));
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    if (!text.isEmpty())
        std::memcpy(text.data(), bytes.data(), size_t(text.size()) * 2);
    return text;
}

QString consumeShort(FuzzedDataProvider& in)
{
    // Short strings from a small alphabet, so that duplicates and line
    // breaks are common.
    static const char16_t alphabet[] = u"ab\r\n\xe9\x4e00";
    QString s;
    const int length = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < length; ++i)
        s += QChar(alphabet[in.ConsumeIntegralInRange(0, 5)]);
    return s;
}

QStringList contents(const CStringList& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Get(i);
    return out;
}

bool ordered(const QStringList& strings)
{
    for (qsizetype i = 1; i < strings.size(); ++i)
        if (QString::compare(strings[i - 1], strings[i]) > 0)
            return false;
    return true;
}

// Records what the pointer list announces and what it reports as bad.
struct RecordingList : CList {
    ~RecordingList() override { Clear(); }
    void Notify(void* item, TListNotification action) override { notes.emplace_back(item, action); }
    void Error(const char*, int data) override { errors.push_back(data); }
    std::vector<std::pair<void*, TListNotification>> notes;
    std::vector<int> errors;
};

int Cells[4];

// Null entries sort first; distinct entries never compare equal.
int cellKey(void* p)
{
    return p ? int(static_cast<int*>(p) - Cells) : -1;
}

// One operation on the pointer list, with what it must do: the entries in
// model, the notifications and errors appended to expected's.
void pointerListStep(FuzzedDataProvider& in, int op, RecordingList& list, std::vector<void*>& model,
                     RecordingList& expected)
{
    const int count = int(model.size());
    const int at = in.ConsumeIntegralInRange(-1, count + 1), to = in.ConsumeIntegralInRange(-3, count + 6);
    const int cell = in.ConsumeIntegralInRange(0, 4);
    void* const p = cell < 4 ? &Cells[cell] : nullptr;
    const auto found = std::find(model.begin(), model.end(), p);
    const auto valid = [&](int i) { return (i >= 0 && i < count) || (expected.errors.push_back(i), false); };
    const auto note = [&](void* q, TListNotification action) {
        if (q)
            expected.notes.emplace_back(q, action);
    };
    switch (op) {
    case 0:
        FUZZ_CHECK(list.Add(p) == count, "Add index");
        model.push_back(p), note(p, ListAdded);
        break;
    case 1:
        list.Insert(at, p);
        if (at < 0 || at > count)
            expected.errors.push_back(at);
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
            at < to ? std::rotate(model.begin() + at, model.begin() + at + 1, model.begin() + to + 1)
                    : std::rotate(model.begin() + to, model.begin() + at, model.begin() + at + 1);
        break;
    case 6:
        FUZZ_CHECK(list.Remove(p) == (found == model.end() ? -1 : int(found - model.begin())), "Remove index");
        if (found != model.end())
            note(p, ListDeleted), model.erase(found);
        break;
    case 7:
        FUZZ_CHECK(list.Extract(p) == (found == model.end() ? nullptr : p), "Extract result");
        if (found != model.end())
            note(p, ListExtracted), model.erase(found);
        break;
    case 8:
        list.SetCount(to);
        if (to < 0)
            expected.errors.push_back(to);
        for (int i = count - 1; to >= 0 && i >= to; --i)
            note(model[i], ListDeleted);
        model.resize(size_t(to < 0 ? count : to), nullptr);
        break;
    case 9:
        list.SetCapacity(to);
        if (to < count)
            expected.errors.push_back(to);
        else
            FUZZ_CHECK(list.Capacity() == to, "SetCapacity");
        break;
    case 10:
        list.Pack();
        model.erase(std::remove(model.begin(), model.end(), nullptr), model.end());
        break;
    case 11:
        list.Clear();
        for (int i = count - 1; i >= 0; --i)
            note(model[i], ListDeleted);
        model.clear();
        FUZZ_CHECK(list.Capacity() == 0, "Clear frees the array");
        break;
    case 12:
        list.Sort([](void* a, void* b) { return cellKey(a) - cellKey(b); });
        std::sort(model.begin(), model.end(), [](void* a, void* b) { return cellKey(a) < cellKey(b); });
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
    CStringList list;
    QStringList model;
    // Exchange may leave a sorted list out of order; searches and the order
    // check are only meaningful until then.
    bool inOrder = true;
    RecordingList pointers, expected;
    std::vector<void*> pointerModel;

    if (in.ConsumeBool()) {
        list.SetText(consumeText(in, 8192));
    } else {
        const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 8192));
        const QString path = FuzzWrite(QStringLiteral("list.txt"), QByteArray(bytes.data(), qsizetype(bytes.size())));
        list.LoadFromFile(path);
    }
    model = contents(list);
    const QString text = list.Text();
    FUZZ_CHECK(text == (model.isEmpty() ? QString() : model.join(QLatin1Char('\n')) + QLatin1Char('\n')), "Text()");

    for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
        const int count = list.Count();
        const int op = in.ConsumeIntegralInRange(0, 25);
        if (op > 11) {
            pointerListStep(in, op - 12, pointers, pointerModel, expected);
            continue;
        }
        switch (op) {
        case 0: {
            const bool sorted = in.ConsumeBool();
            if (sorted && !list.IsSorted()) {
                std::stable_sort(model.begin(), model.end(),
                                 [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
                inOrder = true;
            }
            list.SetSorted(sorted);
            break;
        }
        case 1: {
            const QString s = consumeShort(in);
            const int at = list.Add(s);
            FUZZ_CHECK(at >= 0 && at <= count, "Add position");
            model.insert(at, s);
            break;
        }
        case 2: {
            const int at = in.ConsumeIntegralInRange(-1, count + 1);
            const QString s = consumeShort(in);
            list.Insert(at, s);
            if (!list.IsSorted() && at >= 0 && at <= count)
                model.insert(at, s);
            break;
        }
        case 3: {
            const int at = in.ConsumeIntegralInRange(-1, count);
            list.Delete(at);
            if (at >= 0 && at < count)
                model.removeAt(at);
            break;
        }
        case 4: {
            const int a = in.ConsumeIntegralInRange(-1, count);
            const int b = in.ConsumeIntegralInRange(-1, count);
            list.Exchange(a, b);
            if (a >= 0 && a < count && b >= 0 && b < count) {
                model.swapItemsAt(a, b);
                inOrder = inOrder && model.at(a) == model.at(b);
            }
            break;
        }
        case 5: {
            const int from = in.ConsumeIntegralInRange(-1, count);
            const int to = in.ConsumeIntegralInRange(-1, count);
            list.Move(from, to);
            if (!list.IsSorted() && from != to && from >= 0 && from < count && to >= 0 && to < count)
                model.move(from, to);
            break;
        }
        case 6: {
            const int at = in.ConsumeIntegralInRange(-1, count);
            const QString s = consumeShort(in);
            list.Put(at, s);
            if (!list.IsSorted() && at >= 0 && at < count)
                model[at] = s;
            break;
        }
        case 7: {
            const QString s = consumeShort(in);
            const int found = list.IndexOf(s);
            if (!list.IsSorted() || inOrder)
                FUZZ_CHECK(found == model.indexOf(s) || (list.IsSorted() && found >= 0 && model.at(found) == s),
                           "IndexOf");
            if (list.IsSorted() && inOrder) {
                int at = -1;
                const bool hit = list.Find(s, at);
                FUZZ_CHECK(hit == model.contains(s), "Find");
                FUZZ_CHECK(at >= 0 && at <= count, "Find position");
                FUZZ_CHECK(!hit || model.at(at) == s, "Find names an equal string");
                FUZZ_CHECK(hit || ((at == 0 || QString::compare(model.at(at - 1), s) < 0)
                                   && (at == count || QString::compare(model.at(at), s) > 0)),
                           "Find names where the string belongs");
            }
            break;
        }
        case 8:
            list.Sort();
            if (!list.IsSorted()) {
                // The quick sort is not stable: compare as multisets.
                std::sort(model.begin(), model.end(),
                          [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
                QStringList now = contents(list);
                FUZZ_CHECK(ordered(now), "Sort leaves the list in order");
                QStringList sortedNow = now;
                std::sort(sortedNow.begin(), sortedNow.end());
                QStringList sortedModel = model;
                std::sort(sortedModel.begin(), sortedModel.end());
                FUZZ_CHECK(sortedNow == sortedModel, "Sort keeps the strings");
                model = now;
            }
            break;
        case 9:
            list.Clear();
            model.clear();
            break;
        case 10:
            list.SetText(consumeText(in, 256));
            model = contents(list);
            inOrder = !list.IsSorted() || ordered(model);
            break;
        case 11:
            list.Append(consumeShort(in));
            model = contents(list);
            break;
        }
        FUZZ_CHECK(list.Count() == model.size(), "Count");
        FUZZ_CHECK(list.Count() <= list.Capacity(), "Capacity below Count");
        if (list.IsSorted() && inOrder)
            FUZZ_CHECK(ordered(contents(list)), "a sorted list out of order");
    }
    FUZZ_CHECK(contents(list) == model, "contents");
    return 0;
}
