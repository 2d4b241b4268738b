#include "CWordTable.h"

#include "IntegerSort.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int IndexEntrySize = 8;
constexpr int RecordSize = 4;
// Ranking reads Ref as a signed 16-bit value; a use never carries it past
// the largest value of its own parity (shipped even, learned odd).
constexpr int MaxRankedRef = 32767;

// Makes sure the owner can read and write word.dat, which learning updates
// in place. Every other permission bit stays as it was; nothing is done when
// the owner already has both.
void EnsureOwnerReadWrite(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const mode_t wanted = S_IRUSR | S_IWUSR;
    if ((st.st_mode & wanted) != wanted)
        ::chmod(path.constData(), (st.st_mode & 07777) | wanted);
}

// One use counted on a record's weight: 2 more, saturating below the point
// where the signed ranking would wrap it to the bottom. A foreign weight of
// 32768 or more ranks as negative; adding 2 (with the 16-bit wrap) still
// moves it up towards 0, so the same rule covers it.
uint16_t CountUse(uint16_t ref)
{
    const int rank = int16_t(ref);
    const int ceiling = MaxRankedRef - ((ref & 1) ? 0 : 1);
    return uint16_t(std::min(rank + 2, ceiling));
}

} // namespace

CWordTable::CWordTable(const QString& indexName, const QString& dataName)
{
    // Entries come only from the bytes actually read: a missing, empty or
    // odd-sized index gives as many whole entries as it holds.
    QFile index(indexName);
    if (index.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = index.readAll();
        const int count = int(bytes.size() / IndexEntrySize);
        if (count > 0) {
            IndexTable = static_cast<TWordIndexItem*>(
                std::malloc(size_t(count) * sizeof(TWordIndexItem)));
            if (IndexTable) {
                const char* p = bytes.constData();
                for (int i = 0; i < count; ++i, p += IndexEntrySize) {
                    IndexTable[i].Char = qFromLittleEndian<uint16_t>(p);
                    IndexTable[i].Count = qFromLittleEndian<uint16_t>(p + 2);
                    IndexTable[i].Offset = qFromLittleEndian<uint32_t>(p + 4);
                }
                IndexCount = count;
            }
        }
    }
    EnsureOwnerReadWrite(dataName);
    DataFile = new QFile(dataName);
}

CWordTable::~CWordTable()
{
    CloseFile();
    ClearWords();
    std::free(IndexTable);
    delete DataFile;
}

TWordIndexItem* CWordTable::GetWordIndex(int code)
{
    // An unsorted index is outside the format: the search may then miss,
    // but it stays within the table.
    if (!IndexTable)
        return nullptr;
    int lo = 0;
    int hi = IndexCount - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = IndexTable[mid].Char;
        if (c < code)
            lo = mid + 1;
        else if (c == code)
            return &IndexTable[mid];
        else
            hi = mid - 1;
    }
    return nullptr;
}

bool CWordTable::Query(unsigned short code)
{
    ClearWords();
    const TWordIndexItem* entry = GetWordIndex(code);
    if (!entry)
        return false;
    WordIndex = 0;
    if (entry->Count == 0 || !DataFile || !DataFile->isOpen())
        return true;

    // Only whole records that lie in word.dat and were read become entries:
    // a list that the index runs past the end of the file is cut there, and
    // one that starts past the end is empty.
    const qint64 fileSize = DataFile->size();
    const qint64 start = entry->Offset;
    if (start >= fileSize || !DataFile->seek(start))
        return true;
    const qint64 wanted = std::min<qint64>(qint64(entry->Count) * RecordSize, fileSize - start);
    QByteArray bytes = DataFile->read(wanted);
    const int n = int(bytes.size() / RecordSize);
    // A change still pending in this list (the same character chosen twice
    // in a row) shows as made; otherwise the next use would start again
    // from the stale weight in the file and lose a count.
    const qint64 pendingAt = qint64(Pending.Offset) - start;
    if (Pending.Char != 0 && pendingAt >= 0 && pendingAt % RecordSize == 0
        && pendingAt < qint64(n) * RecordSize) {
        qToLittleEndian(Pending.Char, bytes.data() + pendingAt);
        qToLittleEndian(Pending.Ref, bytes.data() + pendingAt + 2);
    }
    if (n == 0)
        return true;

    // Key: Ref (signed) in the upper half, the complement of the record's
    // position in the lower, so an ascending sort read backwards gives
    // larger Ref first and equal Ref in file order.
    int* keys = static_cast<int*>(std::malloc(size_t(n) * sizeof(int)));
    WordList = static_cast<TWordItem*>(std::malloc(size_t(n) * sizeof(TWordItem)));
    if (!keys || !WordList) {
        std::free(keys);
        std::free(WordList);
        WordList = nullptr;
        return true;
    }
    const char* records = bytes.constData();
    for (int i = 0; i < n; ++i) {
        const uint16_t ref = qFromLittleEndian<uint16_t>(records + RecordSize * i + 2);
        keys[i] = int(uint32_t(ref) << 16 | uint32_t(65535 - i));
    }
    SortInteger(keys, n);
    for (int k = 0; k < n; ++k) {
        const int i = 65535 - (keys[n - 1 - k] & 0xFFFF);
        TWordItem& item = WordList[k];
        item.Char = qFromLittleEndian<uint16_t>(records + RecordSize * i);
        item.Ref = qFromLittleEndian<uint16_t>(records + RecordSize * i + 2);
        item.Offset = entry->Offset + uint32_t(RecordSize * i);
    }
    std::free(keys);
    WordCount = n;
    return true;
}

void CWordTable::ClearWords()
{
    if (WordList) {
        std::free(WordList);
        WordList = nullptr;
        WordCount = 0;
    }
}

QString CWordTable::GetWord(int i)
{
    if (!WordList || i < 0 || i >= WordCount)
        return QString();
    return QString(QChar(WordList[i].Char));
}

uint16_t CWordTable::GetWordCode(int& i)
{
    if (!WordList || i < 0 || i >= WordCount)
        return 0;
    while (i < WordCount && (WordList[i].Ref & 1))
        ++i;
    return i < WordCount ? WordList[i].Char : 0;
}

void CWordTable::UpdateWordRef(unsigned short code)
{
    if (WordCount == 0 || !WordList)
        return;
    int found = WordCount - 1;
    while (found >= 0 && WordList[found].Char != code)
        --found;
    TWordItem* item = &WordList[found >= 0 ? found : WordCount - 1];
    const TWordItem before = *item;
    if (found >= 0) {
        item->Ref = CountUse(item->Ref);
    } else {
        // Learned in place of the weakest entry, over its record.
        item->Char = code;
        item->Ref = 1;
    }
    UpdateToFile();
    Pending = *item;
    m_pendingWas = before;
}

void CWordTable::CancelUpdate()
{
    Pending.Char = 0;
}

void CWordTable::UpdateToFile()
{
    if (Pending.Char == 0 || !DataFile || !DataFile->isOpen())
        return;
    // Only an existing whole record is ever rewritten: word.dat may have
    // been replaced by a shorter file since the record was read, and an
    // index offset that is not a multiple of 4 (a damaged word.idx) would
    // split the write over two real records. A file opened read-only keeps
    // what it holds: the change is dropped.
    if (DataFile->isWritable() && Pending.Offset % RecordSize == 0
        && qint64(Pending.Offset) + RecordSize <= DataFile->size()
        && DataFile->seek(Pending.Offset)) {
        // Another process (a second frontend) may learn into the same file:
        // the record stays locked from the compare to the write, so neither
        // writes over what the other wrote in between. Without locks (some
        // network file systems) the compare alone still holds.
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = off_t(Pending.Offset);
        lock.l_len = RecordSize;
        const bool locked = ::fcntl(DataFile->handle(), F_OFD_SETLKW, &lock) == 0;
        char record[RecordSize];
        // The change was made to the record as the list read it. A file that
        // holds something else there now (replaced while the panel was
        // hidden, with the list still loaded) is not the one the change
        // belongs to: writing it would put a stale weight, or a character
        // into another character's list. It is dropped instead.
        const bool unchanged = DataFile->read(record, RecordSize) == RecordSize
            && qFromLittleEndian<uint16_t>(record) == m_pendingWas.Char
            && qFromLittleEndian<uint16_t>(record + 2) == m_pendingWas.Ref;
        if (unchanged && DataFile->seek(Pending.Offset)) {
            qToLittleEndian(Pending.Char, record);
            qToLittleEndian(Pending.Ref, record + 2);
            // One 4-byte write inside one record: a process killed at any
            // moment leaves the record either old or new, never half of each.
            DataFile->write(record, RecordSize);
            DataFile->flush();
            m_unsynced = true;
        }
        if (locked) {
            lock.l_type = F_UNLCK;
            ::fcntl(DataFile->handle(), F_OFD_SETLK, &lock);
        }
    }
    Pending.Char = 0;
}

void CWordTable::OpenFile()
{
    if (!DataFile || DataFile->isOpen())
        return;
    // Without write access (a file of another user, a read-only medium) the
    // associations are still shown; what is learned is simply not stored.
    // Unbuffered: the compare before a write must read the file as it is
    // now, never bytes buffered by an earlier read that another process has
    // since changed.
    if (!DataFile->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        DataFile->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_unsynced = false;
}

void CWordTable::CloseFile()
{
    if (DataFile && DataFile->isOpen()) {
        UpdateToFile();
        // flush() hands the records to the kernel, which is enough for a
        // crash of this process; a power cut could still lose them. So the
        // weights learned while the panel was shown reach the disk when it
        // hides, and only then: a hide that learned nothing costs nothing.
        if (m_unsynced)
            ::fdatasync(DataFile->handle());
        m_unsynced = false;
        DataFile->close();
    }
}
