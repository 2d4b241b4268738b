#pragma once

#include "TObject.h"

#include <QString>

// An abstract list of strings, each with an object pointer beside it.
// Everything here is built on the few abstract operations (Count, Get,
// Insert, Delete, Clear), so an implementation gets searching, moving,
// copying, joining and splitting text, and file loading and saving.
//
// Errors are never reported to the caller: a bad index goes to Error, which
// does nothing, and the operation changes nothing.
class CStrings : public TObject
{
public:
    CStrings() = default;
    CStrings(const CStrings&) = delete;
    CStrings& operator=(const CStrings&) = delete;

    virtual void SetCapacity(int newCapacity);
    virtual ~CStrings();
    // Returns the new entry's index, or -1 when nothing was added.
    virtual int Add(const QString& text);
    virtual int AddObject(const QString& text, TObject* object);
    virtual void AddStrings(const CStrings& source);
    virtual void Assign(const CStrings& source);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    virtual int IndexOf(const QString& text) const;
    virtual void Insert(int index, const QString& text) = 0;
    // Reads the file as Latin-1 text, one string per line. A file that
    // cannot be mapped (missing, unreadable, empty) leaves the list as it is.
    virtual void LoadFromFile(const QString& fileName);
    virtual void Move(int curIndex, int newIndex);
    // Writes Text() as Latin-1 (a character beyond it becomes '?'); nothing
    // when the file cannot be opened.
    virtual void SaveToFile(const QString& fileName) const;
    virtual int Capacity() const;
    virtual int Count() const = 0;
    virtual TObject* Objects(int index) const;
    virtual QString Get(int index) const = 0;
    virtual void Put(int index, const QString& text);
    virtual void PutObject(int index, TObject* object);
    // Every string followed by one LF.
    virtual QString Text() const;
    // Replaces the list by the lines of text; CR LF, CR and LF each end a
    // line, and a break at the very end adds no empty line.
    virtual void SetText(const QString& text);

    void Error(const QString& message, int data) const;
    void Append(const QString& text);
    bool Equals(const CStrings& other) const;
    int IndexOfObject(TObject* object) const;
    void InsertObject(int index, const QString& text, TObject* object);

protected:
    bool IsIndex(int index) const { return index >= 0 && index < Count(); }
};
