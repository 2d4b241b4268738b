#pragma once

#include <QString>

struct TObject;

// One entry of a CStringList. The entry array is moved with memmove, so the
// entry stays a plain pair of pointers.
struct TStringItem {
    QString* String; // owned by the list; never null in a live entry
    TObject* Object; // not owned
};
