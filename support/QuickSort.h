#pragma once

#include <utility>

// Sorts the entries lo..hi in place, given only their indices, so that one
// algorithm serves integer arrays, pointer lists and string lists alike.
// compare(i, p) orders entry i against entry p (negative, 0 or positive);
// exchange(i, j) swaps two entries. The pivot is tracked as an index and
// followed when an exchange moves it. Not stable. An inconsistent comparison
// leaves the entries in some order but never names an index outside lo..hi.
// The smaller part is sorted by recursion and the larger by the loop, so the
// stack stays logarithmic.
template <typename Compare, typename Exchange>
void QuickSortIndices(int lo, int hi, Compare compare, Exchange exchange)
{
    while (lo < hi) {
        int i = lo;
        int j = hi;
        int pivot = lo + ((hi - lo) >> 1);
        do {
            while (i < hi && compare(i, pivot) < 0)
                ++i;
            while (j > lo && compare(j, pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j) {
                    exchange(i, j);
                    if (pivot == i)
                        pivot = j;
                    else if (pivot == j)
                        pivot = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSortIndices(lo, j, compare, exchange);
            lo = i;
        } else {
            if (i < hi)
                QuickSortIndices(i, hi, compare, exchange);
            hi = j;
        }
    }
}
