#include "IntegerSort.h"

#include "QuickSort.h"

#include <utility>

void QuickSortInt(int* a, int lo, int hi)
{
    QuickSortIndices(lo, hi,
        [&](int i, int p) { return a[i] < a[p] ? -1 : a[i] > a[p] ? 1 : 0; },
        [&](int i, int j) { std::swap(a[i], a[j]); });
}

void SortInteger(int* a, int n)
{
    if (!a || n <= 0)
        return;
    QuickSortInt(a, 0, n - 1);
}
