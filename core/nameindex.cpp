// nameindex.cpp - open addressing with linear probing over FNV-1a hashes.
#include "core/nameindex.h"

#include <cstdlib>
#include <cstring>

uint32_t HashName(const char* s) {
    uint32_t h = 2166136261u;
    for (; *s; s++) h = (h ^ (uint8_t)*s) * 16777619u;
    return h;
}

void NameIndexClear(NameIndex* ix) {
    if (ix->slots) memset(ix->slots, 0xFF, (size_t)(ix->mask + 1) * sizeof(int32_t));
    ix->used = 0;
}

void NameIndexFree(NameIndex* ix) {
    free(ix->slots);
    ix->slots = nullptr;
    ix->mask = 0;
    ix->used = 0;
}

static void Insert(NameIndex* ix, const char* name, int entry, NameOfEntry name_of) {
    for (uint32_t i = HashName(name) & ix->mask;; i = (i + 1) & ix->mask) {
        int32_t e = ix->slots[i];
        if (e < 0) {
            ix->slots[i] = entry;
            ix->used++;
            return;
        }
        const char* n = name_of(e);
        if (n && strcmp(n, name) == 0) {
            if (entry < e) ix->slots[i] = entry;
            return;
        }
    }
}

// Makes room for one more entry.
static void Reserve(NameIndex* ix, NameOfEntry name_of) {
    if (!ix->slots || (uint32_t)(ix->used + 1) * 2 > ix->mask + 1) {
        // Grow (or start) and re-add the entries that are still in use.
        uint32_t cap = ix->slots ? (ix->mask + 1) * 2 : 64;
        NameIndex old = *ix;
        ix->slots = (int32_t*)malloc(cap * sizeof(int32_t));
        ix->mask = cap - 1;
        NameIndexClear(ix);
        for (uint32_t i = 0; old.slots && i <= old.mask; i++) {
            int32_t e = old.slots[i];
            if (e < 0) continue;
            const char* n = name_of(e);
            if (n) Insert(ix, n, e, name_of);
        }
        free(old.slots);
    }
}

void NameIndexPut(NameIndex* ix, const char* name, int entry, NameOfEntry name_of) {
    Reserve(ix, name_of);
    Insert(ix, name, entry, name_of);
}

int NameIndexFindOrPut(NameIndex* ix, const char* name, int entry, NameOfEntry name_of) {
    Reserve(ix, name_of);
    for (uint32_t i = HashName(name) & ix->mask;; i = (i + 1) & ix->mask) {
        int32_t e = ix->slots[i];
        if (e < 0) {
            ix->slots[i] = entry;
            ix->used++;
            return -1;
        }
        const char* n = name_of(e);
        if (n && strcmp(n, name) == 0) return e;
    }
}

int NameIndexFind(const NameIndex* ix, const char* name, NameOfEntry name_of) {
    if (!ix->slots) return -1;
    for (uint32_t i = HashName(name) & ix->mask;; i = (i + 1) & ix->mask) {
        int32_t e = ix->slots[i];
        if (e < 0) return -1;
        const char* n = name_of(e);
        if (n && strcmp(n, name) == 0) return e;
    }
}
