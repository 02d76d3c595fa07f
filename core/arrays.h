// arrays.h - array references ?N[i][j]... and element access over the
// ArrayVariables table (core/variables.h).  Elements are row-major, the last
// subscript fastest; bounds are inclusive.
#pragma once
#include <cstdint>

#include "core/variables.h"

enum { ArrayRefPlain = 0, ArrayRefElement = 1, ArrayRefRow = 2 };

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
