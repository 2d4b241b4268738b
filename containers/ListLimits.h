#pragma once

// The largest count and capacity of a list: 2^27 - 1 entries keeps the byte
// size of an array of 16-byte entries below 2^31, so it fits the int size
// that ReallocMem takes.
constexpr int MaxListSize = 134217727;

// The growth rule shared by the pointer list and the string list: small
// steps while the list is small, then a quarter of the capacity, never
// beyond MaxListSize.
inline int GrownCapacity(int capacity)
{
    int delta;
    if (capacity > 64)
        delta = capacity / 4;
    else if (capacity > 8)
        delta = 16;
    else
        delta = 4;
    return capacity > MaxListSize - delta ? MaxListSize : capacity + delta;
}
