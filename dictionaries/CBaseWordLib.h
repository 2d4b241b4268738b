#pragma once

#include "CFileMapped.h"

#include <QString>

// Abstract word library: a mapped file of candidates, queried with a stroke
// code and read candidate by candidate and page by page through a cursor.
class CBaseWordLib
{
public:
    explicit CBaseWordLib(const QString& fileName);
    virtual ~CBaseWordLib();

    CBaseWordLib(const CBaseWordLib&) = delete;
    CBaseWordLib& operator=(const CBaseWordLib&) = delete;

    // A new query; true when at least one candidate matches. Afterwards the
    // first page is current, Bof() is true and Eof() is true exactly when
    // nothing matched.
    virtual bool Query(QString code) = 0;
    virtual void Reset();
    virtual bool PriorPage() = 0;
    virtual bool NextPage() = 0;
    virtual void PageFirst() = 0;
    virtual bool Next() = 0;
    virtual QString RecValue() = 0;
    virtual bool Eof();
    virtual bool Bof();
    virtual void UpdateToFile();
    virtual void OpenFile();
    virtual void CloseFile();
    virtual void SetEof(bool value);
    virtual void SetBof(bool value);

    CFileMapped* File;
    FileOpenMode OpenMode = OpenRead;
    int PageSize = 10;
    bool EofFlag = true;
    bool BofFlag = true;
};
