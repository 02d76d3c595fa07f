// arrays.h - the dim arrays: declaration, references ?N[i][j]... and element
// access over the ArrayVariables table (core/variables.h).  Elements are
// row-major, the last subscript fastest; bounds are inclusive.  Elements are
// never clamped by the intlimit bounds.
#pragma once
#include <cstdint>

#include "core/variables.h"

enum { ArrayRefPlain = 0, ArrayRefElement = 1, ArrayRefRow = 2 };
// Most elements one array may have (64 MB).
enum { ArrayElementMax = 1 << 24 };

// The declared array with this number (first in declaration order), or null.
ArrayVariable* FindArray(int number);
// Reads a reference at ReadPosition, the '?' already passed: the array number
// (a numeric term), blanks, then up to ArrayMaxDims bracketed subscripts, each
// '[' right behind the previous ']'; no blanks are skipped behind the last.
// mode ArrayRefElement wants one subscript per dimension, ArrayRefRow one
// fewer; both test the bounds and return the array.  ArrayRefPlain tests
// nothing and returns null.
ArrayVariable* ReadArrayRef(int* number, int* subs, int* nsubs, int mode);
// The element at subs (nsubs of them) of a; a subscript of -1, or fewer
// subscripts than dimensions, is the subscript error.
int32_t* ArrayElement(ArrayVariable* a, const int* subs, int nsubs);
// Reads ?N[..] (after the '?') and gives the element's value.
int32_t ReadArrayValue(int* number);

// Fills a record for array `number` with the given upper bounds (ndims of
// them): every element 0.  A negative bound, or more than ArrayElementMax
// elements, is an error.
void CreateArray(ArrayVariable* a, const int* bounds, int ndims, int number);
// Adds array `number` in the next free record: declaring a number twice,
// or more arrays than VariableCount, is an error.
void DeclareArray(int number, const int* bounds, int ndims);
// Writes values[0..bound_last] into the last dimension of a under the
// leading subscripts `subs` (dims - 1 of them).
void FillLastDimension(ArrayVariable* a, const int* subs, const int32_t* values);
