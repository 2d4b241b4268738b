#pragma once

// A pair of pointer-sized words counts as assigned when both are non-zero.
bool Assigned(const void* pair);
void Deassign(void* pair);

// Resizes a malloc'ed block: size > 0 reallocs (null on failure, the old
// block then stays valid and owned by the caller); size <= 0 frees p.
void* ReallocMem(void* p, int size);
