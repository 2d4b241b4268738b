#pragma once

#include "CStrings.h"
#include "ListLimits.h"
#include "StringListCompare.h"
#include "TStringItem.h"

// A string list over a growable array of entries, with an optional sorted
// mode: while it is on, Add puts each string in its place (by
// QString::compare, duplicates allowed), IndexOf searches by halves, and
// the operations that place a string at a chosen index (Insert, Put, Move)
// are refused through Error. Exchange and PutObject stay allowed; an
// Exchange can leave a sorted list out of order, and searching it is then
// unreliable (though always safe).
//
// DoDeleteNotify hears of the object of every entry that is freed; it runs
// once the list no longer counts that entry. As with any destructor, a
// derived list's override is not reached from ~CStringList: a derived list
// that disposes of its objects calls Clear() in its own destructor.
class CStringList : public CStrings
{
public:
    CStringList();
    ~CStringList() override;

    void SetCapacity(int newCapacity) override;
    int Add(const QString& text) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const QString& text) const override;
    void Insert(int index, const QString& text) override;
    void Move(int curIndex, int newIndex) override;
    int Capacity() const override;
    int Count() const override;
    TObject* Objects(int index) const override;
    QString Get(int index) const override;
    void Put(int index, const QString& text) override;
    void PutObject(int index, TObject* object) override;

    virtual void DoDeleteNotify(TObject* object);
    // Binary search of a sorted list: true when text is present; index gets
    // the position of the first equal string met, or where text would keep
    // the order.
    virtual bool Find(const QString& text, int& index) const;
    virtual void Sort();
    // Sorts with compare, unless the list is in sorted mode (its order is
    // fixed) or has fewer than two entries.
    virtual void CustomSort(TStringListSortCompare compare);

    bool IsSorted() const { return Sorted; }
    void SetSorted(bool value);

protected:
    void Grow();
    // Inserts without checking the index; false when the list is full and
    // could not grow (reported through Error).
    bool InsertItem(int index, const QString& text);
    void ExchangeItems(int index1, int index2);
    void QuickSort(int left, int right, TStringListSortCompare compare);
    // Frees the strings of count entries from index and reports each object.
    void Finalize(int index, int count);

    TStringItem* ItemList;
    int ItemCount;
    int ItemCapacity;
    bool Sorted;

private:
    bool CheckIndex(int index) const;
    bool CheckUnsorted() const;
    void ReleaseAll();
};
