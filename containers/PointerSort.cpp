#include "PointerSort.h"

#include <utility>

void QuickSort(void** a, int lo, int hi, TListSortCompare compare)
{
    if (!a || !compare)
        return;
    while (lo < hi) {
        int i = lo;
        int j = hi;
        void* const pivot = a[lo + ((hi - lo) >> 1)];
        do {
            // The bounds only matter for an inconsistent comparison; a
            // consistent one stops at the pivot or a swapped entry first.
            while (i < hi && compare(a[i], pivot) < 0)
                ++i;
            while (j > lo && compare(a[j], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(a[i], a[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        // Recurse into the smaller part and loop on the larger one, so the
        // stack stays logarithmic even on unlucky input.
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSort(a, lo, j, compare);
            lo = i;
        } else {
            if (i < hi)
                QuickSort(a, i, hi, compare);
            hi = j;
        }
    }
}
