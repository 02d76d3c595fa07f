// dllcache.h - libraries loaded by name, once each, freed at exit.
#pragma once

enum { DllCacheSlots = 256 };

// An entry point of the library `file` (a CP932 name as the caller wrote it,
// "x.dll" being looked for as "x.so"); null when the library or the entry is
// missing.  A library that failed to load is not tried again.
void* GetDllProc(const char* file, const char* entry);
void FreeDllCache();
