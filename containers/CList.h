#pragma once

#include "ListLimits.h"
#include "PointerSort.h"

// What happened to a pointer that Notify is told about.
enum TListNotification {
    ListAdded = 0,     // the pointer entered the list
    ListExtracted = 1, // the pointer was taken out by Extract
    ListDeleted = 2,   // the pointer was removed or overwritten
};

// A growable array of untyped pointers. The list never owns what its
// entries point to; a derived class learns of every non-null pointer that
// enters or leaves through Notify, and of every bad index or size through
// Error. Both hooks do nothing here. Null entries are allowed and are never
// announced.
//
// The destructor clears the list, but by then a derived class is already
// gone, so only CList's own Notify runs; a derived list that must see its
// entries leave calls Clear() in its own destructor.
class CList
{
public:
    CList();
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;

    virtual void Grow();
    virtual void Notify(void* item, TListNotification action);
    virtual ~CList();
    virtual void Clear();
    // Told of a bad index or size (or storage that could not be had), with
    // a null message and the offending value; the operation is then skipped.
    virtual void Error(const char* message, int data);

    void Create();

    int Count() const { return ItemCount; }
    int Capacity() const { return ItemCapacity; }

    void* Items(int index);
    void Put(int index, void* item);
    void* First();
    void* Last();
    int IndexOf(void* item) const;
    // Returns the new entry's index, or -1 when the list could not grow.
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);
    void* Extract(void* item);
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void Expand();
    void Pack();
    void SetCapacity(int newCapacity);
    void SetCount(int newCount);
    void Sort(TListSortCompare compare);

protected:
    void** ItemList;
    int ItemCount;
    int ItemCapacity;

private:
    bool CheckIndex(int index);
    // Makes room for one more entry; false (after an Error call) when the
    // list is full and could not grow.
    bool EnsureRoom();
};
