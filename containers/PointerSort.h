#pragma once

// Orders two entries: negative, 0 or positive as the first is less than,
// equal to or greater than the second.
typedef int (*TListSortCompare)(void* item1, void* item2);

// Sorts a[lo..hi] so that compare never finds an entry greater than a later
// one. Not stable. A comparison that is not a consistent order leaves the
// entries in some order but never reads outside a[lo..hi].
void QuickSort(void** a, int lo, int hi, TListSortCompare compare);
