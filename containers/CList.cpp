#include "CList.h"

#include "MemoryHelpers.h"

#include <cstring>

CList::CList()
{
    Create();
}

CList::~CList()
{
    Clear();
}

void CList::Create()
{
    ItemList = nullptr;
    ItemCount = 0;
    ItemCapacity = 0;
}

void CList::Grow()
{
    if (ItemCapacity < MaxListSize)
        SetCapacity(GrownCapacity(ItemCapacity));
}

void CList::Notify(void*, TListNotification)
{
}

void CList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

void CList::Error(const char*, int)
{
}

bool CList::CheckIndex(int index)
{
    if (index >= 0 && index < ItemCount)
        return true;
    Error(nullptr, index);
    return false;
}

bool CList::EnsureRoom()
{
    if (ItemCount == ItemCapacity)
        Grow();
    // Grow may have been unable to help: the largest size is reached, the
    // allocation failed, or a derived Grow chose not to grow.
    if (ItemCount < ItemCapacity)
        return true;
    Error(nullptr, ItemCount + 1);
    return false;
}

void* CList::Items(int index)
{
    return CheckIndex(index) ? ItemList[index] : nullptr;
}

void CList::Put(int index, void* item)
{
    if (!CheckIndex(index))
        return;
    void* const old = ItemList[index];
    ItemList[index] = item;
    if (old)
        Notify(old, ListDeleted);
    if (item)
        Notify(item, ListAdded);
}

void* CList::First()
{
    return Items(0);
}

void* CList::Last()
{
    return Items(ItemCount - 1);
}

int CList::IndexOf(void* item) const
{
    for (int i = 0; i < ItemCount; ++i) {
        if (ItemList[i] == item)
            return i;
    }
    return -1;
}

int CList::Add(void* item)
{
    if (!EnsureRoom())
        return -1;
    const int index = ItemCount;
    ItemList[index] = item;
    ++ItemCount;
    if (item)
        Notify(item, ListAdded);
    return index;
}

void CList::Insert(int index, void* item)
{
    if (index < 0 || index > ItemCount) {
        Error(nullptr, index);
        return;
    }
    if (!EnsureRoom())
        return;
    if (index < ItemCount)
        std::memmove(ItemList + index + 1, ItemList + index,
                     static_cast<size_t>(ItemCount - index) * sizeof(void*));
    ItemList[index] = item;
    ++ItemCount;
    if (item)
        Notify(item, ListAdded);
}

void CList::Delete(int index)
{
    if (!CheckIndex(index))
        return;
    void* const item = ItemList[index];
    --ItemCount;
    if (index < ItemCount)
        std::memmove(ItemList + index, ItemList + index + 1,
                     static_cast<size_t>(ItemCount - index) * sizeof(void*));
    if (item)
        Notify(item, ListDeleted);
}

int CList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* CList::Extract(void* item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    // Nulling the entry first keeps Delete from announcing it as deleted.
    ItemList[index] = nullptr;
    Delete(index);
    if (item)
        Notify(item, ListExtracted);
    return item;
}

void CList::Exchange(int index1, int index2)
{
    if (!CheckIndex(index1) || !CheckIndex(index2))
        return;
    void* const item = ItemList[index1];
    ItemList[index1] = ItemList[index2];
    ItemList[index2] = item;
}

void CList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    if (!CheckIndex(newIndex) || !CheckIndex(curIndex))
        return;
    // The entry changes place but never leaves the list: no notification,
    // and no storage is needed.
    void* const item = ItemList[curIndex];
    if (curIndex < newIndex)
        std::memmove(ItemList + curIndex, ItemList + curIndex + 1,
                     static_cast<size_t>(newIndex - curIndex) * sizeof(void*));
    else
        std::memmove(ItemList + newIndex + 1, ItemList + newIndex,
                     static_cast<size_t>(curIndex - newIndex) * sizeof(void*));
    ItemList[newIndex] = item;
}

void CList::Expand()
{
    if (ItemCount == ItemCapacity)
        Grow();
}

void CList::Pack()
{
    for (int i = ItemCount - 1; i >= 0; --i) {
        if (i < ItemCount && !ItemList[i])
            Delete(i);
    }
}

void CList::SetCapacity(int newCapacity)
{
    if (newCapacity < ItemCount || newCapacity > MaxListSize) {
        Error(nullptr, newCapacity);
        return;
    }
    if (newCapacity == ItemCapacity)
        return;
    void* const list = ReallocMem(ItemList, newCapacity * static_cast<int>(sizeof(void*)));
    if (newCapacity > 0 && !list) {
        // The old block is still valid and still ours.
        Error(nullptr, newCapacity);
        return;
    }
    ItemList = static_cast<void**>(list);
    ItemCapacity = newCapacity;
}

void CList::SetCount(int newCount)
{
    if (newCount < 0 || newCount > MaxListSize) {
        Error(nullptr, newCount);
        return;
    }
    if (newCount > ItemCapacity) {
        SetCapacity(newCount);
        if (newCount > ItemCapacity)
            return; // SetCapacity has reported why
    }
    if (newCount > ItemCount) {
        std::memset(ItemList + ItemCount, 0,
                    static_cast<size_t>(newCount - ItemCount) * sizeof(void*));
        ItemCount = newCount;
    } else {
        // Delete announces each entry, last first. A Notify that changes
        // the list meanwhile must not make us run past its end.
        for (int i = ItemCount - 1; i >= newCount; --i) {
            if (i < ItemCount)
                Delete(i);
        }
    }
}

void CList::Sort(TListSortCompare compare)
{
    if (ItemList && ItemCount > 0 && compare)
        QuickSort(ItemList, 0, ItemCount - 1, compare);
}
