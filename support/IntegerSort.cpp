#include "IntegerSort.h"

#include <utility>

void QuickSortInt(int* a, int lo, int hi)
{
    // Hoare partition; recurse on the left part and loop on the right part,
    // so the stack depth stays bounded by the left recursions.
    while (lo < hi) {
        int i = lo;
        int j = hi;
        const int pivot = a[lo + ((hi - lo) >> 1)];
        do {
            while (a[i] < pivot)
                ++i;
            while (a[j] > pivot)
                --j;
            if (i <= j) {
                std::swap(a[i], a[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j)
            QuickSortInt(a, lo, j);
        lo = i;
    }
}

void SortInteger(int* a, int n)
{
    if (!a || n <= 0)
        return;
    QuickSortInt(a, 0, n - 1);
}
