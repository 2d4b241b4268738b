#include "CBaseWordLib.h"

CBaseWordLib::CBaseWordLib(const QString& fileName)
    : File(new CFileMapped(fileName))
{
    // Not virtual dispatch here: a derived Reset would see an unbuilt object.
    CBaseWordLib::Reset();
}

CBaseWordLib::~CBaseWordLib()
{
    CBaseWordLib::CloseFile();
    delete File;
}

void CBaseWordLib::Reset()
{
    EofFlag = true;
    BofFlag = true;
}

bool CBaseWordLib::Eof()
{
    return EofFlag;
}

bool CBaseWordLib::Bof()
{
    return BofFlag;
}

void CBaseWordLib::UpdateToFile()
{
}

void CBaseWordLib::OpenFile()
{
    // The outcome shows in File->Memory and File->Size.
    if (!File->Memory)
        File->Open(OpenMode);
}

void CBaseWordLib::CloseFile()
{
    if (File->Memory)
        File->Close();
}

void CBaseWordLib::SetEof(bool value)
{
    EofFlag = value;
}

void CBaseWordLib::SetBof(bool value)
{
    BofFlag = value;
}
