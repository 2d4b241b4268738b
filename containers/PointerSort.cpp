#include "PointerSort.h"

#include "QuickSort.h"

#include <utility>

void QuickSort(void** a, int lo, int hi, TListSortCompare compare)
{
    if (!a || !compare)
        return;
    QuickSortIndices(lo, hi,
        [&](int i, int p) { return compare(a[i], a[p]); },
        [&](int i, int j) { std::swap(a[i], a[j]); });
}
