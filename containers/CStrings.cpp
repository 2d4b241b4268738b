#include "CStrings.h"

#include "CFileMapped.h"

#include <QFile>
#include <QList>

CStrings::~CStrings()
{
}

void CStrings::SetCapacity(int)
{
}

void CStrings::Error(const QString&, int) const
{
}

int CStrings::Add(const QString& text)
{
    const int index = Count();
    Insert(index, text);
    return Count() > index ? index : -1;
}

int CStrings::AddObject(const QString& text, TObject* object)
{
    const int index = Add(text);
    if (index >= 0)
        PutObject(index, object);
    return index;
}

void CStrings::AddStrings(const CStrings& source)
{
    const int count = source.Count();
    if (&source != this) {
        for (int i = 0; i < count; ++i)
            AddObject(source.Get(i), source.Objects(i));
        return;
    }
    // Appending a list to itself: take a copy first, since every insertion
    // (in a sorted list, anywhere) shifts what the indices would read.
    QList<QString> strings;
    QList<TObject*> objects;
    strings.reserve(count);
    objects.reserve(count);
    for (int i = 0; i < count; ++i) {
        strings.append(Get(i));
        objects.append(Objects(i));
    }
    for (int i = 0; i < count; ++i)
        AddObject(strings.at(i), objects.at(i));
}

void CStrings::Assign(const CStrings& source)
{
    if (&source == this)
        return;
    Clear();
    AddStrings(source);
}

void CStrings::Exchange(int index1, int index2)
{
    if (!IsIndex(index1)) {
        Error(QString(), index1);
        return;
    }
    if (!IsIndex(index2)) {
        Error(QString(), index2);
        return;
    }
    const QString text = Get(index1);
    TObject* const object = Objects(index1);
    Put(index1, Get(index2));
    PutObject(index1, Objects(index2));
    Put(index2, text);
    PutObject(index2, object);
}

int CStrings::IndexOf(const QString& text) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (QString::compare(text, Get(i)) == 0)
            return i;
    }
    return -1;
}

void CStrings::LoadFromFile(const QString& fileName)
{
    CFileMapped file(fileName);
    if (!file.Open(OpenRead))
        return;
    SetText(QString::fromLatin1(reinterpret_cast<const char*>(file.Memory),
                                static_cast<qsizetype>(file.Size)));
}

void CStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    // Both indices are checked before anything changes: the target counts
    // after the removal, so it may be at most Count() - 1.
    if (!IsIndex(curIndex)) {
        Error(QString(), curIndex);
        return;
    }
    if (!IsIndex(newIndex)) {
        Error(QString(), newIndex);
        return;
    }
    const QString text = Get(curIndex);
    TObject* const object = Objects(curIndex);
    // Detach the object first, so that an implementation that disposes of
    // the objects of deleted entries does not dispose of this one.
    PutObject(curIndex, nullptr);
    Delete(curIndex);
    InsertObject(newIndex, text, object);
}

void CStrings::SaveToFile(const QString& fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(Text().toLatin1());
}

int CStrings::Capacity() const
{
    return Count();
}

TObject* CStrings::Objects(int) const
{
    return nullptr;
}

void CStrings::Put(int index, const QString& text)
{
    if (!IsIndex(index)) {
        Error(QString(), index);
        return;
    }
    TObject* const object = Objects(index);
    PutObject(index, nullptr); // as in Move: keep the object alive
    Delete(index);
    InsertObject(index, text, object);
}

void CStrings::PutObject(int, TObject*)
{
}

QString CStrings::Text() const
{
    const int count = Count();
    qsizetype size = 0;
    for (int i = 0; i < count; ++i)
        size += Get(i).size() + 1;
    QString result;
    result.reserve(size);
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += QLatin1Char('\n');
    }
    return result;
}

void CStrings::SetText(const QString& text)
{
    // A copy, in case text refers to storage that Clear() frees.
    const QString source = text;
    const qsizetype length = source.size();
    const QChar* const chars = source.constData();
    Clear();
    qsizetype p = 0;
    while (p < length) {
        const qsizetype start = p;
        while (p < length && chars[p] != QLatin1Char('\r') && chars[p] != QLatin1Char('\n'))
            ++p;
        Add(source.mid(start, p - start));
        if (p >= length)
            break;
        if (chars[p] == QLatin1Char('\r')) {
            ++p;
            if (p < length && chars[p] == QLatin1Char('\n'))
                ++p;
        } else {
            ++p;
        }
    }
}

void CStrings::Append(const QString& text)
{
    Add(text);
}

bool CStrings::Equals(const CStrings& other) const
{
    const int count = Count();
    if (count != other.Count())
        return false;
    for (int i = 0; i < count; ++i) {
        if (Get(i) != other.Get(i))
            return false;
    }
    return true;
}

int CStrings::IndexOfObject(TObject* object) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (Objects(i) == object)
            return i;
    }
    return -1;
}

void CStrings::InsertObject(int index, const QString& text, TObject* object)
{
    // Only a successful insertion gets the object: a refused one must not
    // hand it to whatever entry already stands at index.
    const int count = Count();
    Insert(index, text);
    if (Count() > count)
        PutObject(index, object);
}
