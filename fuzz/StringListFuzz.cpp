// The string list loaded from arbitrary text (SetText) and arbitrary file
// bytes (LoadFromFile), then edited, sorted, searched and written back in
// both modes. Checked inside against a plain list of the same strings: the
// contents, the order a sorted list keeps, and what searches find.

#include "CStringList.h"
#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <algorithm>
#include <cstring>
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CStringList list;
    QStringList model;
    // Exchange may leave a sorted list out of order; searches and the order
    // check are only meaningful until then.
    bool inOrder = true;

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
        switch (in.ConsumeIntegralInRange(0, 11)) {
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
