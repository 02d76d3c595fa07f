// aliases.h - the numeric and string alias tables: up to 10000 named numbers
// and 10000 named texts, defined in the *define block and read by the operand
// readers in place of a literal.  Names are lower-case words; the two tables
// are independent.  Lookups go through a hash index but mean the same as a
// search from the first entry.
#pragma once
#include <cstdint>

#include "core/heapstring.h"

enum { AliasMax = 10000 };

extern HeapString NumAliasNames[AliasMax];
extern int32_t NumAliasValues[AliasMax];
extern int NumAliasCount;
extern HeapString StrAliasNames[AliasMax];
extern HeapString StrAliasTexts[AliasMax];
extern int StrAliasCount;

// Entry number of the alias called name, or -1.
int FindNumAlias(const char* name);
int FindStrAlias(const char* name);
// Store entry NumAliasCount / StrAliasCount and count it (the callers test
// the limit and duplicates first).
void AddNumAlias(const char* name, int32_t value);
void AddStrAlias(const char* name, const char* text);
// Both tables empty (names and texts "", values 0, counts 0).
void ClearAliasTables();
