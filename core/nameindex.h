// nameindex.h - a hash index from names to entry numbers of a table that
// keeps the names itself (labels, aliases, user commands).  Every hit is
// checked against the table, so an entry that was dropped or renamed is never
// returned; of two entries with one name the lower number is kept, which is
// what a first-match linear search would find.
#pragma once
#include <cstdint>

// The name of entry e of the table, or null when e is not in use.
typedef const char* (*NameOfEntry)(int e);

struct NameIndex {
    int32_t* slots = nullptr;  // entry numbers, -1 = empty
    uint32_t mask = 0;         // capacity - 1 (a power of two)
    int used = 0;
};

uint32_t HashName(const char* s);
void NameIndexClear(NameIndex* ix);  // empties it, keeps its storage
void NameIndexFree(NameIndex* ix);
void NameIndexPut(NameIndex* ix, const char* name, int entry, NameOfEntry name_of);
int NameIndexFind(const NameIndex* ix, const char* name, NameOfEntry name_of);  // -1 if none
// The entry already called name, or -1 after adding entry under it (one
// hash and probe for both).
int NameIndexFindOrPut(NameIndex* ix, const char* name, int entry, NameOfEntry name_of);
