#pragma once

#include <QString>

#include <cstdint>

// How CFileMapped opens and maps a file. Every mode but OpenRead maps
// privately, so no mode ever writes a change of the mapped bytes back.
enum FileOpenMode {
    OpenCreate = 0,    // O_CREAT (read access, created if missing), read/write private map
    OpenRead = 1,      // O_RDONLY, read-only shared map
    OpenWrite = 2,     // O_WRONLY, write private map (never succeeds: mmap needs read access)
    OpenReadWrite = 3, // O_RDWR, read/write private map
};

// A whole file mapped into memory. Closed: Memory null, Size and Handle 0.
class CFileMapped
{
public:
    explicit CFileMapped(const QString& fileName);
    ~CFileMapped();

    CFileMapped(const CFileMapped&) = delete;
    CFileMapped& operator=(const CFileMapped&) = delete;

    // Maps the whole file; true when it is mapped afterwards (also when it
    // already was). An empty or missing file cannot be mapped.
    bool Open(FileOpenMode mode);
    // Unmaps and closes; nothing when closed.
    void Close();

    uint32_t Size = 0;
    int Handle = 0;
    unsigned char* Memory = nullptr;
    const QString FileName;
};
