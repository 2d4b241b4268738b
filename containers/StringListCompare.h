#pragma once

class CStringList;
struct TStringItem;

// Orders two entries of a string list: negative, 0 or positive.
typedef int (*TStringListSortCompare)(CStringList& list, TStringItem* item1, TStringItem* item2);

// The default order: QString::compare of the two strings (by UTF-16 code
// units, case-sensitive).
int StringListAnsiCompare(CStringList& list, TStringItem* item1, TStringItem* item2);
