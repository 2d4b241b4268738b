#include "MemoryHelpers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

bool Assigned(const void* pair)
{
    if (!pair)
        return false;
    std::uintptr_t words[2];
    std::memcpy(words, pair, sizeof words);
    return words[0] != 0 && words[1] != 0;
}

void Deassign(void* pair)
{
    if (pair)
        std::memset(pair, 0, 2 * sizeof(std::uintptr_t));
}

void* ReallocMem(void* p, int size)
{
    if (size <= 0) {
        std::free(p);
        return nullptr;
    }
    return std::realloc(p, static_cast<std::size_t>(size));
}
