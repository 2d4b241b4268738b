#include "CStringList.h"

#include "MemoryHelpers.h"
#include "QuickSort.h"

#include <cstring>
#include <utility>

CStringList::CStringList()
    : ItemList(nullptr)
    , ItemCount(0)
    , ItemCapacity(0)
    , Sorted(false)
{
}

CStringList::~CStringList()
{
    ReleaseAll();
}

void CStringList::ReleaseAll()
{
    const int count = ItemCount;
    // Uncount the entries before freeing them, so that DoDeleteNotify sees
    // an empty list rather than entries whose strings are gone.
    ItemCount = 0;
    Finalize(0, count);
    SetCapacity(0);
}

bool CStringList::CheckIndex(int index) const
{
    if (index >= 0 && index < ItemCount)
        return true;
    Error(QString(), index);
    return false;
}

bool CStringList::CheckUnsorted() const
{
    if (!Sorted)
        return true;
    Error(QString(), 0);
    return false;
}

void CStringList::SetCapacity(int newCapacity)
{
    // Below the count would cut off live entries (and leak their strings).
    if (newCapacity < ItemCount || newCapacity > MaxListSize) {
        Error(QString(), newCapacity);
        return;
    }
    if (newCapacity == ItemCapacity)
        return;
    void* const list = ReallocMem(ItemList, newCapacity * static_cast<int>(sizeof(TStringItem)));
    if (newCapacity > 0 && !list) {
        // The old block is still valid and still ours.
        Error(QString(), newCapacity);
        return;
    }
    ItemList = static_cast<TStringItem*>(list);
    ItemCapacity = newCapacity;
}

void CStringList::Grow()
{
    if (ItemCapacity < MaxListSize)
        SetCapacity(GrownCapacity(ItemCapacity));
}

bool CStringList::InsertItem(int index, const QString& text)
{
    if (ItemCount == ItemCapacity)
        Grow();
    if (ItemCount >= ItemCapacity) {
        Error(QString(), ItemCount + 1);
        return false;
    }
    if (index < ItemCount)
        std::memmove(ItemList + index + 1, ItemList + index,
                     static_cast<size_t>(ItemCount - index) * sizeof(TStringItem));
    ItemList[index].String = new QString(text);
    ItemList[index].Object = nullptr;
    ++ItemCount;
    return true;
}

int CStringList::Add(const QString& text)
{
    int index = ItemCount;
    if (Sorted)
        Find(text, index);
    return InsertItem(index, text) ? index : -1;
}

void CStringList::Clear()
{
    // An empty list keeps its array.
    if (ItemCount != 0)
        ReleaseAll();
}

void CStringList::Delete(int index)
{
    if (!CheckIndex(index))
        return;
    const TStringItem item = ItemList[index];
    --ItemCount;
    if (index < ItemCount)
        std::memmove(ItemList + index, ItemList + index + 1,
                     static_cast<size_t>(ItemCount - index) * sizeof(TStringItem));
    delete item.String;
    DoDeleteNotify(item.Object);
}

void CStringList::Finalize(int index, int count)
{
    for (int i = index; i < index + count; ++i) {
        delete ItemList[i].String;
        DoDeleteNotify(ItemList[i].Object);
    }
}

void CStringList::Exchange(int index1, int index2)
{
    if (!CheckIndex(index1) || !CheckIndex(index2))
        return;
    ExchangeItems(index1, index2);
}

void CStringList::ExchangeItems(int index1, int index2)
{
    std::swap(ItemList[index1], ItemList[index2]);
}

int CStringList::IndexOf(const QString& text) const
{
    if (!Sorted)
        return CStrings::IndexOf(text);
    int index;
    return Find(text, index) ? index : -1;
}

void CStringList::Insert(int index, const QString& text)
{
    if (!CheckUnsorted())
        return;
    if (index < 0 || index > ItemCount) {
        Error(QString(), index);
        return;
    }
    InsertItem(index, text);
}

void CStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    // A sorted list has no place to move to but the one it is in.
    if (!CheckUnsorted())
        return;
    if (!CheckIndex(curIndex) || !CheckIndex(newIndex))
        return;
    // The entry keeps its string and object; nothing is freed or announced.
    const TStringItem item = ItemList[curIndex];
    if (curIndex < newIndex)
        std::memmove(ItemList + curIndex, ItemList + curIndex + 1,
                     static_cast<size_t>(newIndex - curIndex) * sizeof(TStringItem));
    else
        std::memmove(ItemList + newIndex + 1, ItemList + newIndex,
                     static_cast<size_t>(curIndex - newIndex) * sizeof(TStringItem));
    ItemList[newIndex] = item;
}

int CStringList::Capacity() const
{
    return ItemCapacity;
}

int CStringList::Count() const
{
    return ItemCount;
}

TObject* CStringList::Objects(int index) const
{
    return CheckIndex(index) ? ItemList[index].Object : nullptr;
}

QString CStringList::Get(int index) const
{
    return CheckIndex(index) ? *ItemList[index].String : QString();
}

void CStringList::Put(int index, const QString& text)
{
    if (!CheckUnsorted() || !CheckIndex(index))
        return;
    *ItemList[index].String = text;
}

void CStringList::PutObject(int index, TObject* object)
{
    if (CheckIndex(index))
        ItemList[index].Object = object;
}

void CStringList::DoDeleteNotify(TObject*)
{
}

bool CStringList::Find(const QString& text, int& index) const
{
    bool found = false;
    int low = 0;
    int high = ItemCount - 1;
    while (low <= high) {
        const int i = (low + high) >> 1;
        const int result = QString::compare(*ItemList[i].String, text);
        if (result < 0) {
            low = i + 1;
        } else {
            high = i - 1;
            if (result == 0) {
                found = true;
                low = i;
            }
        }
    }
    index = low;
    return found;
}

void CStringList::Sort()
{
    CustomSort(StringListAnsiCompare);
}

void CStringList::CustomSort(TStringListSortCompare compare)
{
    if (!Sorted && ItemCount > 1 && compare)
        QuickSort(0, ItemCount - 1, compare);
}

void CStringList::QuickSort(int left, int right, TStringListSortCompare compare)
{
    QuickSortIndices(left, right,
        [&](int i, int p) { return compare(*this, &ItemList[i], &ItemList[p]); },
        [&](int i, int j) { ExchangeItems(i, j); });
}

void CStringList::SetSorted(bool value)
{
    if (value == Sorted)
        return;
    if (value)
        Sort();
    Sorted = value;
}
