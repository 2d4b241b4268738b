#include "CFileMapped.h"

#include <QFile>

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TOpenModeRow {
    int Flags;
    int Protection;
    int Sharing;
};

// Indexed by FileOpenMode. Only OpenRead shares the mapping; the others map
// privately so that no change of the mapped bytes reaches the file.
constexpr TOpenModeRow OpenModeRows[] = {
    {O_CREAT, PROT_READ | PROT_WRITE, MAP_PRIVATE}, // OpenCreate
    {O_RDONLY, PROT_READ, MAP_SHARED},              // OpenRead
    {O_WRONLY, PROT_WRITE, MAP_PRIVATE},            // OpenWrite
    {O_RDWR, PROT_READ | PROT_WRITE, MAP_PRIVATE},  // OpenReadWrite
};

} // namespace

CFileMapped::CFileMapped(const QString& fileName)
    : FileName(fileName)
{
}

CFileMapped::~CFileMapped()
{
    if (Memory)
        Close();
}

bool CFileMapped::Open(FileOpenMode mode)
{
    if (Memory)
        return true;
    if (FileName.isEmpty())
        return false;
    if (mode < OpenCreate || mode > OpenReadWrite)
        return false;
    const TOpenModeRow& row = OpenModeRows[mode];

    // The local 8-bit file-name encoding rather than plain Latin-1, so that a
    // data directory with non-ASCII characters still opens; for ASCII paths
    // both give the same bytes.
    const QByteArray path = QFile::encodeName(FileName);
    // A file that OpenCreate creates gets the usual 0666 less the umask.
    const int fd = ::open(path.constData(), row.Flags | O_CLOEXEC, 0666);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        Handle = 0;
        return false;
    }
    // Size is 32 bits: a file that does not fit is refused rather than
    // mapped short. An empty file cannot be mapped at all.
    if (st.st_size <= 0 || static_cast<uint64_t>(st.st_size) > UINT32_MAX) {
        ::close(fd);
        Handle = 0;
        Size = 0;
        return false;
    }
    const auto length = static_cast<size_t>(st.st_size);
    void* p = ::mmap(nullptr, length, row.Protection, row.Sharing, fd, 0);
    if (p == MAP_FAILED) {
        ::close(fd);
        Memory = nullptr;
        Handle = 0;
        Size = 0;
        return false;
    }
    Handle = fd;
    Size = static_cast<uint32_t>(length);
    Memory = static_cast<unsigned char*>(p);
    return true;
}

void CFileMapped::Close()
{
    if (!Memory)
        return;
    ::munmap(Memory, Size);
    ::close(Handle);
    Memory = nullptr;
    Handle = 0;
    Size = 0;
}
