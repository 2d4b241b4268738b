#include "StringListCompare.h"

#include "TStringItem.h"

int StringListAnsiCompare(CStringList&, TStringItem* item1, TStringItem* item2)
{
    return QString::compare(*item1->String, *item2->String);
}
