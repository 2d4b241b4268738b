#pragma once

#include <QString>

#include <cstdint>

class QFile;

// One 8-byte entry of word.idx (little-endian): a leading character and where
// its Count association records start in word.dat.
struct TWordIndexItem {
    uint16_t Char;
    uint16_t Count;
    uint32_t Offset;
};
static_assert(sizeof(TWordIndexItem) == 8, "word.idx entries are 8 bytes");

// An association entry in memory. Char and Ref are exactly a 4-byte word.dat
// record; Offset is where that record lies in word.dat.
struct TWordItem {
    uint16_t Char;
    uint16_t Ref;
    uint32_t Offset;
};

// The association table: word.idx read whole at construction, word.dat read
// per query and updated in place while open. Learned weights are odd, shipped
// ones even; word.dat never grows and is written only at record offsets that
// the index names.
class CWordTable
{
public:
    CWordTable(const QString& indexName, const QString& dataName);
    ~CWordTable();

    CWordTable(const CWordTable&) = delete;
    CWordTable& operator=(const CWordTable&) = delete;

    // Binary search of the index; null when the character has no entry.
    TWordIndexItem* GetWordIndex(int code);
    // Loads the ranked association entries of code; true when it has an
    // index entry (even one whose records cannot be read).
    bool Query(unsigned short code);
    void ClearWords();
    // The character of entry i as a one-character string; null outside.
    QString GetWord(int i);
    // The first entry at or after i whose Ref is even (a shipped weight); i is
    // moved to it. 0 when there is none.
    uint16_t GetWordCode(int& i);
    // Counts one use of code after the loaded list's character, or learns it
    // in place of the weakest entry. Written to word.dat at the next change
    // or close, unless cancelled first.
    void UpdateWordRef(unsigned short code);
    void CancelUpdate();
    void UpdateToFile();
    // Opens word.dat for reading and writing, or else for reading alone
    // (nothing learned is then stored).
    void OpenFile();
    // Writes the pending record and closes word.dat; records written while
    // it was open are on the disk when this returns.
    void CloseFile();

    TWordIndexItem* IndexTable = nullptr;
    int IndexCount = 0;
    TWordItem* WordList = nullptr;
    TWordItem Pending = {0, 0, 0};
    int WordCount = 0;
    int WordIndex = 0;
    int PageSize = 0;
    QFile* DataFile = nullptr;

private:
    TWordItem m_pendingWas = {0, 0, 0}; // the record Pending changes, as the list read it
    bool m_unsynced = false; // records written since the file was opened, not yet on disk
};
