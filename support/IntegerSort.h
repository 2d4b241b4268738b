#pragma once

// Sorts a[lo..hi] ascending (signed comparisons). Not stable: callers that
// need a fixed order for equal values build unique keys.
void QuickSortInt(int* a, int lo, int hi);
// Sorts the n integers at a ascending; nothing for a null array or n <= 0.
void SortInteger(int* a, int n);
